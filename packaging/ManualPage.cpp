// Turns the --help text into a manual page (see ManualPage.h for the layout rules it relies on).
#include "packaging/ManualPage.h"

#include <cctype>
#include <optional>
#include <sstream>
#include <vector>

namespace mirel {

namespace {

bool isLower(char c)
{
    return std::islower(static_cast<unsigned char>(c)) != 0;
}
bool isUpper(char c)
{
    return std::isupper(static_cast<unsigned char>(c)) != 0;
}
// Letters, digits and every byte of a UTF-8 sequence (a Cyrillic letter).
bool isWordCharacter(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || std::isalnum(byte) != 0;
}

// Text as roff prints it literally: a backslash stays a backslash, and a dash that starts a word
// (an option, a negative value) is a minus sign, so that it can be searched for and copied. A
// number and the word after it ("48000 Гц", "0,5 В") stay on one line.
std::string escaped(const std::string& text)
{
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\')
            result += "\\e";
        else if (text[i] == ' ' && i > 0 && std::isdigit(static_cast<unsigned char>(text[i - 1])) &&
                 i + 1 < text.size() && text[i + 1] != ' ')
            result += "\\~";
        else if (text[i] == '-' && (i == 0 || !isWordCharacter(text[i - 1])))
            result += "\\-";
        else
            result += text[i];
    }
    return result;
}

std::string bold(const std::string& text)
{
    return "\\fB" + escaped(text) + "\\fR";
}
std::string italic(const std::string& text)
{
    return "\\fI" + escaped(text) + "\\fR";
}

// A synopsis or a list term: placeholders (words of two or more capitals) in italics; brackets,
// bars, commas and spaces upright; the rest, what is typed as it stands, in bold.
std::string styledTerm(const std::string& term)
{
    std::string result;
    std::string literal;
    auto flush = [&] {
        if (!literal.empty())
            result += bold(literal);
        literal.clear();
    };
    size_t i = 0;
    while (i < term.size()) {
        const char c = term[i];
        if (isUpper(c) && (i == 0 || !isWordCharacter(term[i - 1]))) {
            size_t end = i;
            while (end < term.size() &&
                   (isUpper(term[end]) || std::isdigit(static_cast<unsigned char>(term[end])) || term[end] == '_'))
                ++end;
            if (end - i >= 2 && (end == term.size() || !isLower(term[end]))) {
                flush();
                result += italic(term.substr(i, end - i));
                i = end;
                continue;
            }
        }
        if (c == '[' || c == ']' || c == '|' || c == ',' || c == ' ') {
            flush();
            result += c;
        } else {
            literal += c;
        }
        ++i;
    }
    flush();
    return result;
}

// Prose: options (words that start with "-" and a small letter, or "--") in bold.
std::string styledProse(const std::string& text)
{
    std::string result;
    size_t plainStart = 0;
    size_t i = 0;
    while (i < text.size()) {
        const bool wordStart = i == 0 || text[i - 1] == ' ' || text[i - 1] == '(' || text[i - 1] == '"';
        if (wordStart && text[i] == '-' && i + 1 < text.size() && (text[i + 1] == '-' || isLower(text[i + 1]))) {
            size_t end = i;
            while (end < text.size() && (text[end] == '-' || isLower(text[end])))
                ++end;
            result += escaped(text.substr(plainStart, i - plainStart)) + bold(text.substr(i, end - i));
            i = plainStart = end;
            continue;
        }
        ++i;
    }
    return result + escaped(text.substr(plainStart));
}

// One line of running text; a line that starts with "." or "'" would be read as a request.
std::string textLine(const std::string& roff)
{
    const bool looksLikeRequest = !roff.empty() && (roff[0] == '.' || roff[0] == '\'');
    return (looksLikeRequest ? "\\&" : "") + roff + "\n";
}

// The command of a line "пример: COMMAND" (either case of the first letter).
std::optional<std::string> exampleCommand(const std::string& text)
{
    for (const std::string word : {"пример: ", "Пример: "})
        if (text.size() > word.size() && text.starts_with(word))
            return text.substr(word.size());
    return std::nullopt;
}

// Capitals of Latin and Russian letters, the latter as UTF-8 sequences: а..п (D0 B0..BF) become
// А..П (D0 90..9F), р..я (D1 80..8F) Р..Я (D0 A0..AF), ё (D1 91) Ё (D0 81).
std::string upper(const std::string& text)
{
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c == 0xD0 && next >= 0xB0 && next <= 0xBF) {
            result += {'\xD0', static_cast<char>(next - 0x20)};
            ++i;
        } else if (c == 0xD1 && next >= 0x80 && next <= 0x8F) {
            result += {'\xD0', static_cast<char>(next + 0x20)};
            ++i;
        } else if (c == 0xD1 && next == 0x91) {
            result += "Ё";
            ++i;
        } else {
            result += static_cast<char>(std::toupper(c));
        }
    }
    return result;
}

struct HelpLine {
    size_t Indent = 0;
    std::string Text;  // without the indent and trailing blanks
};

std::vector<HelpLine> splitLines(const std::string& help)
{
    std::vector<HelpLine> lines;
    std::istringstream in(help);
    std::string raw;
    while (std::getline(in, raw)) {
        const size_t last = raw.find_last_not_of(' ');
        const size_t indent = raw.find_first_not_of(' ');
        if (indent == std::string::npos)
            lines.push_back({});
        else
            lines.push_back({indent, raw.substr(indent, last + 1 - indent)});
    }
    return lines;
}

// The command's further forms: list entries whose text starts with "NAME " and, the entry's
// deeper lines included, ends in a line ending in ":". Each is returned without that ":".
std::vector<std::string> furtherForms(const std::vector<HelpLine>& lines, const std::string& name)
{
    std::vector<std::string> forms;
    for (size_t n = 1; n < lines.size(); ++n) {
        const size_t gap = lines[n].Text.find("  ");
        if (lines[n].Indent != 2 || gap == std::string::npos)
            continue;
        std::string form = lines[n].Text.substr(lines[n].Text.find_first_not_of(' ', gap));
        if (form.compare(0, name.size() + 1, name + " ") != 0)
            continue;
        for (size_t next = n + 1; form.back() != ':' && next < lines.size() && lines[next].Indent > 2; ++next)
            form += " " + lines[next].Text;
        if (form.back() == ':')
            forms.push_back(form.substr(0, form.size() - 1));
    }
    return forms;
}

}  // namespace

std::string manualPage(const std::string& help, const ManualPageInfo& info)
{
    const std::vector<HelpLine> lines = splitLines(help);
    const std::string usage = "Использование: ";
    if (lines.empty() || lines[0].Indent != 0 || lines[0].Text.compare(0, usage.size(), usage) != 0)
        return {};
    const std::string synopsis = lines[0].Text.substr(usage.size());
    const size_t nameEnd = synopsis.find(' ');
    const std::string name = synopsis.substr(0, nameEnd);
    const std::string arguments = nameEnd == std::string::npos ? std::string() : synopsis.substr(nameEnd + 1);
    if (name.empty())
        return {};

    std::ostringstream page;
    // The first line tells man the page's encoding.
    page << ".\\\" -*- coding: UTF-8 -*-\n";
    page << ".\\\" The manual page of " << name << ", made from the text of \"" << name
         << " --help\" when the program is built.\n";
    page << ".TH " << upper(name) << " 1 \"" << info.Date << "\" \"" << info.Source
         << "\" \"Пользовательские команды\"\n";
    // No hyphenation: an option broken across lines ("--in-put") could not be copied as it is.
    page << ".nh\n";
    page << ".SH ИМЯ\n" << escaped(name) << " \\- " << escaped(info.Summary) << "\n";
    page << ".SH ОБЗОР\n" << bold(name);
    if (!arguments.empty())
        page << ' ' << styledTerm(arguments);
    page << "\n";
    for (const std::string& form : furtherForms(lines, name))
        page << ".PP\n" << styledTerm(form) << "\n";
    page << ".SH ОПИСАНИЕ\n";

    enum class After { Gap, Paragraph, Entry } after = After::Gap;
    bool sectionEmpty = true;
    for (size_t n = 1; n < lines.size(); ++n) {
        const HelpLine& line = lines[n];
        if (line.Text.empty()) {
            after = After::Gap;
            continue;
        }
        if (line.Indent == 0 && line.Text.back() == ':') {
            page << ".SH " << upper(line.Text.substr(0, line.Text.size() - 1)) << "\n";
            after = After::Gap;
            sectionEmpty = true;
            continue;
        }
        const size_t gap = line.Text.find("  ");
        if (line.Indent == 2 && gap != std::string::npos) {
            page << ".TP\n"
                 << textLine(styledTerm(line.Text.substr(0, gap)))
                 << textLine(styledProse(line.Text.substr(line.Text.find_first_not_of(' ', gap))));
            after = After::Entry;
            sectionEmpty = false;
            continue;
        }
        const bool continues = after == After::Paragraph || (after == After::Entry && line.Indent > 2);
        if (!continues && !sectionEmpty)
            page << ".PP\n";
        if (const auto command = exampleCommand(line.Text))
            page << (continues ? ".br\n" : "") << "Пример: " << styledTerm(*command) << "\n";
        else
            page << textLine(styledProse(line.Text));
        if (!continues)
            after = After::Paragraph;
        sectionEmpty = false;
    }
    return page.str();
}

}  // namespace mirel
