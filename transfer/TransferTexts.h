#pragma once
// The transfer function's texts: the bin under the cursor and its readout, the measurements of the
// readings box, the delay found as the panel writes it, and the typed fields of the panel read and
// checked.

#include "transfer/DelayFinder.h"
#include "transfer/TransferAnalyser.h"
#include "transfer/TransferDisplay.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mirel::transfer {

// The bin nearest the frequency at the middle of column x; none when there are no bins.
const TransferPoint* PointAtColumn(std::span<const TransferPoint> points, const FrequencyScale& axis, int x);
// The bin nearest `hz`, if one lies within a tenth of an octave of it.
const TransferPoint* PointNear(std::span<const TransferPoint> points, double hz);

// "f = 1000 Гц", "|H|: -0.02 дБ", "φ: 12.3°", "γ²: 0.998".
std::vector<std::string> CursorTexts(const TransferPoint& point);

// The readings box's measurements: the response's (magnitude at 1 kHz when the band holds it, the
// delay when one was found) and the coherence's (its mean over the bins shown).
std::vector<std::string> ResponseRows(std::span<const TransferPoint> points, const DelayResult& delay);
std::vector<std::string> CoherenceRows(std::span<const TransferPoint> points);

// «Задержка: 1,505 мс (72,25 отсч.), полярность +», «Задержка не найдена» for no result.
std::string DelayText(const DelayResult& delay);

// A number as typed in a field, with a decimal comma or point; none for anything else.
std::optional<double> TypedNumber(std::string_view text);
// A number as the fields show it: «20», «0,5», «-40».
std::string FieldText(double value);
// Why a display range cannot be taken (`range` as it would be with the typed value); empty when
// it can: the band within 1 Hz … 1 MHz with the upper edge above the lower, the dB scale within
// ±300 dB at least 1 dB high, the threshold within 0 … 1.
std::string RangeFault(const DisplayRange& range);

}  // namespace mirel::transfer
