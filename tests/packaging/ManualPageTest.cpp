// The manual page made from the --help text: nothing of the text lost or repeated, and the roff
// that the layout rules promise (sections, list entries, fonts, escapes).
#include "packaging/ManualPage.h"
#include "app/CommandLine.h"

#include <QString>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

using namespace mirel;

namespace {

const ManualPageInfo Info{"does things", "Tool 2.0", "2026-01-02"};

std::string lowerCase(const std::string& text)
{
    return QString::fromStdString(text).toLower().toStdString();
}

// The words a reader sees: requests and font changes dropped, escapes undone, lower case.
std::vector<std::string> wordsOfPage(const std::string& page)
{
    std::vector<std::string> words;
    std::istringstream lines(page);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '.')
            continue;
        std::string plain;
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] != '\\') {
                plain += line[i];
                continue;
            }
            const char next = i + 1 < line.size() ? line[i + 1] : '\0';
            if (next == 'f')
                i += 2;
            else if (next == '-' || next == 'e')
                plain += next == '-' ? '-' : '\\', ++i;
            else if (next == '&')
                ++i;
            else if (next == '~')
                plain += ' ', ++i;
        }
        std::istringstream in(lowerCase(plain));
        for (std::string word; in >> word;)
            words.push_back(word);
    }
    return words;
}

TEST(ManualPage, CarriesEveryWordOfTheHelpInOrder)
{
    const std::string help = helpText();
    const std::string page = manualPage(help, Info);
    ASSERT_FALSE(page.empty());

    // The NAME line, the synopsis, then the help word for word; its headings become sections.
    std::istringstream lines(help);
    std::string line;
    std::getline(lines, line);
    std::string seen = "mirel - does things\n" + line.substr(line.find(' ') + 1) + "\n";
    int headings = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] != ' ' && line.back() == ':') {
            const std::string section =
                ".SH " + QString::fromStdString(line.substr(0, line.size() - 1)).toUpper().toStdString();
            EXPECT_NE(page.find(section + "\n"), std::string::npos) << section;
            ++headings;
            continue;
        }
        seen += line + "\n";
    }
    EXPECT_GE(headings, 4);
    // The synopsis: the window's usage line, then the forms of the commands that measure without one
    // and of play, whose words the page also keeps in their place in the help.
    const std::string synopsisHeading = "\n.SH ОБЗОР\n";
    const size_t synopsisAt = page.find(synopsisHeading);
    const size_t descriptionAt = page.find("\n.SH ОПИСАНИЕ\n");
    ASSERT_LT(synopsisAt, descriptionAt);
    // Its lines between the headings, one line a form, with paragraph breaks between them.
    std::vector<std::string> synopsisForms;
    const size_t formsAt = synopsisAt + synopsisHeading.size();
    std::istringstream synopsis(page.substr(formsAt, descriptionAt - formsAt));
    for (std::string line; std::getline(synopsis, line);)
        if (line != ".PP")
            synopsisForms.push_back(line);
    const struct {
        std::string_view start, end;
    } expected[] = {{R"(\fBmirel\fR [\fB\-\-demo\fR] )", "]"},
                    {R"(\fBmirel\fR \fBsnapshot\fR )", R"(\fB\-\-output\fR \fIFILE\fR)"},
                    {R"(\fBmirel\fR \fBmeasure\fR )", R"(\fIFILE\fR)"},
                    {R"(\fBmirel\fR \fBmeasure\fR \fBreadings\fR )", R"(\fIFILE\fR)"},
                    {R"(\fBmirel\fR \fBmeasure\fR \fBtransfer\fR )", R"(\fIFILE\fR)"},
                    {R"(\fBmirel\fR \fBplay\fR \fISPEC\fR )", R"(\fISECONDS\fR])"}};
    ASSERT_EQ(synopsisForms.size(), std::size(expected));
    for (size_t i = 0; i < synopsisForms.size(); ++i) {
        EXPECT_TRUE(synopsisForms[i].starts_with(expected[i].start)) << synopsisForms[i];
        EXPECT_TRUE(synopsisForms[i].ends_with(expected[i].end)) << synopsisForms[i];
    }
    const size_t forms = page.find("\n.PP\n", synopsisAt);
    EXPECT_EQ(wordsOfPage(page.substr(0, forms) + page.substr(descriptionAt)), wordsOfPage(seen));
}

TEST(ManualPage, ListsFontsAndEscapes)
{
    const std::string page = manualPage("Использование: tool [--level LEVEL] [--quiet]\n"
                                        "\n"
                                        "A two-way tool, по-русски.\n"
                                        "Second line of the same paragraph.\n"
                                        "\n"
                                        "New paragraph of 2 lines.\n"
                                        ".hidden files are skipped.\n"
                                        "Параметры ёмкости:\n"
                                        "  --level LEVEL   set it; -LEVEL counts down, see --quiet\n"
                                        "                  and C:\\temp\n"
                                        "                    пример: tool --level 3\n"
                                        "  .dot   starts with a dot\n"
                                        "  Follows the list.\n",
                                        Info);
    EXPECT_EQ(page.substr(page.find(".TH")), ".TH TOOL 1 \"2026-01-02\" \"Tool 2.0\" \"Пользовательские команды\"\n"
                                             ".nh\n"
                                             ".SH ИМЯ\n"
                                             "tool \\- does things\n"
                                             ".SH ОБЗОР\n"
                                             "\\fBtool\\fR [\\fB\\-\\-level\\fR \\fILEVEL\\fR] [\\fB\\-\\-quiet\\fR]\n"
                                             ".SH ОПИСАНИЕ\n"
                                             "A two-way tool, по-русски.\n"
                                             "Second line of the same paragraph.\n"
                                             ".PP\n"
                                             "New paragraph of 2\\~lines.\n"
                                             "\\&.hidden files are skipped.\n"
                                             ".SH ПАРАМЕТРЫ ЁМКОСТИ\n"
                                             ".TP\n"
                                             "\\fB\\-\\-level\\fR \\fILEVEL\\fR\n"
                                             "set it; \\-LEVEL counts down, see \\fB\\-\\-quiet\\fR\n"
                                             "and C:\\etemp\n"
                                             ".br\n"
                                             "Пример: \\fBtool\\fR \\fB\\-\\-level\\fR \\fB3\\fR\n"
                                             ".TP\n"
                                             "\\fB.dot\\fR\n"
                                             "starts with a dot\n"
                                             ".PP\n"
                                             "Follows the list.\n");
}

TEST(ManualPage, NeedsTheUsageLine)
{
    EXPECT_EQ(manualPage("", Info), "");
    EXPECT_EQ(manualPage("tool does things\n", Info), "");
    EXPECT_EQ(manualPage("  Использование: tool\n", Info), "");
    EXPECT_EQ(manualPage("Usage: tool\n", Info), "");
}

}  // namespace
