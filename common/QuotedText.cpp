#include "common/QuotedText.h"

#include <algorithm>

namespace mirel {

std::string Quoted(std::string_view text)
{
    std::size_t characters = 0;
    std::size_t cut = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;  // a continuation byte belongs to the character before it
        if (characters == MaxQuotedChars)
            cut = std::min(cut, i);
        ++characters;
    }
    std::string quoted = "\"";
    quoted.append(text.substr(0, cut)).append("\"");
    if (characters > MaxQuotedChars)
        quoted.append("... (").append(std::to_string(characters)).append(" characters)");
    return quoted;
}

}  // namespace mirel
