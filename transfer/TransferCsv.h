#pragma once
// The transfer function's output as CSV, one line per bin shown, for saving from the window and the
// command line alike.

#include "transfer/TransferAnalyser.h"

#include <span>
#include <string>
#include <string_view>

namespace mirel::transfer {

inline constexpr std::string_view TransferCsvHeader = "frequency_hz,magnitude_db,phase_deg,coherence";

// A number as the CSV writes it: the shortest form that reads back to the same double, "." as the point.
std::string CsvNumber(double value);

// The header, then one line per point; "." as the decimal point whatever the locale, each number in
// the shortest form that reads back to the same double, lines ended with CR LF.
std::string TransferCsv(std::span<const TransferPoint> points);

}  // namespace mirel::transfer
