#include "common/PlotText.h"

#include <cmath>

namespace mirel {

std::string UpToFirstBlank(std::string text)
{
    if (const auto space = text.find(' '); space != std::string::npos)
        text.erase(space);
    return text;
}

std::string AfterFirstBlank(std::string_view text)
{
    const auto space = text.find(' ');
    return std::string(space == std::string_view::npos ? text : text.substr(space + 1));
}

bool Contains(std::string_view text, char c)
{
    return text.find(c) != std::string_view::npos;
}

int Utf8Length(std::string_view text)
{
    int n = 0;
    for (const char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

int Trunc(double value)
{
    return static_cast<int>(std::trunc(value));
}

}  // namespace mirel
