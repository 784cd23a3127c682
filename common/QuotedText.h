#pragma once
// A text the user gave (an argument, a file name, part of a signal description) quoted in a
// message. A long one is cut, so that a mistyped argument of any length still makes a message
// that fits on the screen.

#include <cstddef>
#include <string>
#include <string_view>

namespace mirel {

inline constexpr std::size_t MaxQuotedChars = 100;

// `text` between double quotes; beyond MaxQuotedChars characters (UTF-8 sequences counted and
// kept whole) only the beginning is quoted, followed by how long the whole is:
// «"abc…"... (120000 characters)».
std::string Quoted(std::string_view text);

}  // namespace mirel
