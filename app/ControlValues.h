#pragma once
// A control's value as the command line writes it: a position, or a value in the unit the panel
// shows ("0.2ms", "500мВ", "6кГц", "0,2/дел"), matched to the position it names; and the texts
// that list positions with their meanings.

#include "common/ControlMeaning.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirel {

// A number with its unit, the prefix applied: "0.2ms" → 0.0002 "с"; "6кГц" → 6000 "Гц".
struct WrittenValue {
    double Number = 0;
    std::string Unit;          // "В", "Вт", "с", "Гц", or "" for a number alone
    bool PerDivision = false;  // written with "/дел" or "/div"
};
// Nothing for a text that is not a number, maybe followed by a known unit.
std::optional<WrittenValue> ReadValue(std::string_view text);

// The position within low..high that `text` names: a whole number in the range is that position;
// otherwise a value in units (a number alone in the control's BareUnit) that matches the value of
// a position to a thousandth. Nothing when no position matches.
std::optional<int> PositionNamed(const ControlMeaning* meaning, int low, int high, std::string_view text);

// "0 = 0.2 мВ/дел" for each position from low to high; of a long list only its first two items
// and its last, with "…" between.
std::vector<std::string> PositionItems(const ControlMeaning& meaning, int low, int high);
// The meanings of low..high in short: "0.2 мВ/дел…1 В/дел", or every value when all share one
// unit and there are few: "0, 2, 4, 6 кГц". Empty when the positions have no meaning.
std::string MeaningRange(const ControlMeaning& meaning, int low, int high);

// One line of a list of controls, or a pair for channels A and B that take the same values.
struct ControlEntry {
    std::string Names;    // "udAY" or "udAY, udBY"
    std::string Caption;  // "Масштаб A" or "Масштаб A, B"
    std::string Takes;    // what the control takes: "0..11", "0 или 1", "Нет | Оба канала"
    const ControlMeaning* Meaning = nullptr;
    int Low = 0;
    int High = 0;
};
// Consecutive entries of channels A and B that take the same values, made one.
std::vector<ControlEntry> PairedChannels(const std::vector<ControlEntry>& entries);

// `text` broken at spaces into lines of at most `width` characters; lines after the first start
// with `indent` spaces, and the first is taken to start at column `firstColumn`. A space that
// Unbroken() has made is kept within its line and written as a plain one.
std::string Wrapped(std::string_view text, int firstColumn, int indent, int width);
// `text` with its spaces kept from breaking a line in Wrapped(): "10 мВ/дел", "«Масштаб A»"; a
// space after a comma stays a place to break a list ("2, 4, 6 кГц").
std::string Unbroken(std::string_view text);

}  // namespace mirel
