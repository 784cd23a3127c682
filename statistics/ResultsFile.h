#pragma once
// The results file of a run: five TAB-separated lines in Windows-1251 with CR LF line ends, the
// file name proposed in the save dialog, and the writing itself. No Qt here.

#include "statistics/ErrorRun.h"

#include <optional>
#include <string>

namespace mirel::er {

// The five lines (UTF-8): the heading of the columns, the three rows as the table shows them, and
// the length of the measurement. The last line has no line end.
std::string ResultsText(const ResultRows& rows, double measuredSeconds);

// `utf8` in Windows-1251, by the C library's converter; nothing when a character has no place in
// that code page or the converter is missing.
std::optional<std::string> ToWindows1251(const std::string& utf8);

// «Mirel_500 [Подсчет ошибок] [Date - 07;12;06] [Time - 4;55;12]»: day, month, two-digit year;
// hours without a leading zero, minutes, seconds.
struct ClockTime {
    int Year, Month, Day, Hour, Minute, Second;
};
std::string ProposedFileName(const ClockTime& now);

// ".txt" is appended unless the name ends in exactly ".txt" (so «RESULTS.TXT» gets it too).
std::string WithTxtExtension(const std::string& name);

// Saves the results of a run as the file `path` (bytes of the file system's encoding), created or
// replaced as every writer of the program does it (AtomicFile.h). Returns nothing on success,
// otherwise why it failed, in words for the user.
std::optional<std::string> SaveResults(const std::string& path, const ResultRows& rows, double measuredSeconds);

}  // namespace mirel::er
