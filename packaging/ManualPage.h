#pragma once
// The manual page is made from the text that --help prints, so that the two cannot drift apart.
// That text follows a few layout rules, which this converter turns into man(7) macros:
//
//   Использование: NAME ARGUMENTS...  first line: the synopsis
//   prose lines                       before the first heading: the description; a blank line
//                                     separates paragraphs
//   Heading:                          a line at the left margin ending in ":": a section
//     TERM   text                     two spaces in, then two or more before the text: a list entry
//            more text                deeper in: the entry goes on
//     prose                           elsewhere: a paragraph
//   пример: COMMAND                   anywhere: a line of its own, the command set as a term
//     TERM   NAME ARGUMENTS...        an entry whose text starts with the name and goes on, in
//            ARGUMENTS...:            deeper lines, to a line ending in ":": a further form of
//                                     the command, also shown in the synopsis
//
// In terms and in the synopsis, words in capitals (SPEC, FILE) are placeholders, set in italics;
// the rest is literal, set in bold. Options named in prose are set in bold too. The text is UTF-8;
// the page's fixed sections (ИМЯ, ОБЗОР, ОПИСАНИЕ) and headings in capitals are Russian, as the help.

#include <string>

namespace mirel {

struct ManualPageInfo {
    std::string Summary;  // the ИМЯ line: "NAME - summary"
    std::string Source;   // footer, program and version: "Mirel 1.27"
    std::string Date;     // footer, date of the release: "2026-12-08"
};

// The page in section 1, or an empty string when `help` does not start with "Использование: NAME".
std::string manualPage(const std::string& help, const ManualPageInfo& info);

}  // namespace mirel
