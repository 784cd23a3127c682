#include "app/ControlValues.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace mirel {

namespace {

// Lists longer than this are shortened to their ends.
constexpr std::size_t LongList = 50;
// Values that share a unit are all shown when there are at most this many.
constexpr std::size_t FewValues = 13;
// A value names a position when it is within this fraction of the position's value.
constexpr double Tolerance = 1e-3;

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `text` ends with `suffix`, Latin letters in either case.
bool EndsWith(std::string_view text, std::string_view suffix)
{
    if (suffix.size() > text.size())
        return false;
    const std::string_view end = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < end.size(); ++i)
        if (AsciiLower(end[i]) != AsciiLower(suffix[i]))
            return false;
    return true;
}

std::size_t Characters(std::string_view text)
{
    std::size_t count = 0;
    for (char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// Spellings of the units, each with the unit it stands for (a count has none); a longer one
// before its tail.
constexpr std::array<std::pair<std::string_view, std::string_view>, 13> Units = {{{"точек", ""},
                                                                                  {"points", ""},
                                                                                  {"Вт", "Вт"},
                                                                                  {"вт", "Вт"},
                                                                                  {"Гц", "Гц"},
                                                                                  {"гц", "Гц"},
                                                                                  {"Hz", "Гц"},
                                                                                  {"В", "В"},
                                                                                  {"в", "В"},
                                                                                  {"V", "В"},
                                                                                  {"W", "Вт"},
                                                                                  {"с", "с"},
                                                                                  {"s", "с"}}};
constexpr std::array<std::pair<std::string_view, double>, 14> Prefixes = {{{"", 1},
                                                                           {"k", 1e3},
                                                                           {"K", 1e3},
                                                                           {"к", 1e3},
                                                                           {"m", 1e-3},
                                                                           {"м", 1e-3},
                                                                           {"u", 1e-6},
                                                                           {"µ", 1e-6},
                                                                           {"μ", 1e-6},
                                                                           {"мк", 1e-6},
                                                                           {"n", 1e-9},
                                                                           {"н", 1e-9},
                                                                           {"p", 1e-12},
                                                                           {"п", 1e-12}}};

bool Matches(const UnitValue& value, const WrittenValue& written)
{
    if (value.Unit != written.Unit)
        return false;
    if ((written.PerDivision && value.Per == PerDivision::Never) ||
        (!written.PerDivision && value.Per == PerDivision::Always))
        return false;
    return std::abs(written.Number - value.Value) <= Tolerance * std::abs(value.Value);
}

// The positions of `meaning` from low to high.
std::vector<const PositionMeaning*> InRange(const ControlMeaning& meaning, int low, int high)
{
    std::vector<const PositionMeaning*> positions;
    for (const PositionMeaning& position : meaning.Positions)
        if (position.Position >= low && position.Position <= high)
            positions.push_back(&position);
    return positions;
}

}  // namespace

std::optional<WrittenValue> ReadValue(std::string_view text)
{
    text = Trimmed(text);
    std::size_t length = 0;
    while (length < text.size() && std::string_view("+-0123456789.,eE").find(text[length]) != std::string_view::npos)
        ++length;
    std::string number(text.substr(0, length));
    if (!number.empty() && number.front() == '+')
        number.erase(0, 1);
    for (char& c : number)
        c = c == ',' ? '.' : c;
    WrittenValue value;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value.Number);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() || !std::isfinite(value.Number))
        return std::nullopt;

    std::string_view unit = Trimmed(text.substr(length));
    for (std::string_view division : {"/дел", "/div"}) {
        if (EndsWith(unit, division)) {
            value.PerDivision = true;
            unit = Trimmed(unit.substr(0, unit.size() - division.size()));
            break;
        }
    }
    if (unit.empty())
        return value;
    for (const auto& [spelling, name] : Units) {
        if (!EndsWith(unit, spelling))
            continue;
        const std::string_view prefix = unit.substr(0, unit.size() - spelling.size());
        for (const auto& [letters, factor] : Prefixes) {
            if (prefix == letters) {
                value.Number *= factor;
                value.Unit = name;
                return value;
            }
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<int> PositionNamed(const ControlMeaning* meaning, int low, int high, std::string_view text)
{
    text = Trimmed(text);
    int whole = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole);
    if (error == std::errc() && end == text.data() + text.size() && !text.empty() && whole >= low && whole <= high)
        return whole;
    std::optional<WrittenValue> written = ReadValue(text);
    if (!meaning || !written)
        return std::nullopt;
    if (written->Unit.empty() && !written->PerDivision)
        written->Unit = meaning->BareUnit;
    for (const PositionMeaning* position : InRange(*meaning, low, high))
        for (const UnitValue& value : position->Values)
            if (Matches(value, *written))
                return position->Position;
    return std::nullopt;
}

std::vector<std::string> PositionItems(const ControlMeaning& meaning, int low, int high)
{
    const std::vector<const PositionMeaning*> positions = InRange(meaning, low, high);
    std::vector<std::string> items;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (positions.size() > LongList && i == 2) {
            items.emplace_back("…");
            i = positions.size() - 1;
        }
        items.push_back(std::to_string(positions[i]->Position) + " = " + positions[i]->Text);
    }
    return items;
}

std::string MeaningRange(const ControlMeaning& meaning, int low, int high)
{
    const std::vector<const PositionMeaning*> positions = InRange(meaning, low, high);
    if (positions.empty())
        return {};
    // "6 кГц": the number, then its unit.
    const auto unitOf = [](const std::string& text) { return text.substr(std::min(text.find(' '), text.size())); };
    bool oneUnit = positions.size() <= FewValues;
    for (const PositionMeaning* position : positions)
        oneUnit = oneUnit && unitOf(position->Text) == unitOf(positions.front()->Text);
    if (!oneUnit)
        return positions.front()->Text + "…" + positions.back()->Text;
    std::string text;
    for (const PositionMeaning* position : positions) {
        const std::string& whole = position->Text;
        text += (text.empty() ? "" : ", ") + whole.substr(0, whole.size() - unitOf(whole).size());
    }
    return text + unitOf(positions.front()->Text);
}

std::vector<ControlEntry> PairedChannels(const std::vector<ControlEntry>& entries)
{
    const auto samePositions = [](const ControlEntry& a, const ControlEntry& b) {
        if (!a.Meaning || !b.Meaning)
            return !a.Meaning && !b.Meaning;
        return PositionItems(*a.Meaning, a.Low, a.High) == PositionItems(*b.Meaning, b.Low, b.High);
    };
    std::vector<ControlEntry> paired;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ControlEntry& a = entries[i];
        const std::string& caption = a.Caption;
        if (i + 1 < entries.size() && caption.ends_with(" A")) {
            const ControlEntry& b = entries[i + 1];
            const std::string base = caption.substr(0, caption.size() - 2);
            if (b.Caption == base + " B" && a.Takes == b.Takes && a.Low == b.Low && a.High == b.High &&
                samePositions(a, b)) {
                ControlEntry both = a;
                both.Names += ", " + b.Names;
                both.Caption = base + " A, B";
                paired.push_back(both);
                ++i;
                continue;
            }
        }
        paired.push_back(a);
    }
    return paired;
}

namespace {

// A no-break space, which the lines of Wrapped() write as a plain one.
constexpr std::string_view NoBreak = "\u00A0";

}  // namespace

std::string Unbroken(std::string_view text)
{
    std::string unbroken;
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] == ' ' && (i == 0 || text[i - 1] != ',') ? unbroken.append(NoBreak) : unbroken.append(1, text[i]);
    return unbroken;
}

std::string Wrapped(std::string_view text, int firstColumn, int indent, int width)
{
    std::string wrapped;
    auto column = static_cast<std::size_t>(firstColumn);
    bool lineEmpty = true;
    while (!text.empty()) {
        const std::size_t space = std::min(text.find(' '), text.size());
        const std::string_view word = text.substr(0, space);
        text.remove_prefix(std::min(space + 1, text.size()));
        if (word.empty())
            continue;
        const std::size_t length = Characters(word);
        if (!lineEmpty && column + 1 + length > static_cast<std::size_t>(width)) {
            wrapped.append("\n").append(static_cast<std::size_t>(indent), ' ');
            column = static_cast<std::size_t>(indent);
            lineEmpty = true;
        }
        if (!lineEmpty) {
            wrapped += ' ';
            ++column;
        }
        for (std::size_t at = 0; at < word.size();) {
            const bool noBreak = word.substr(at, NoBreak.size()) == NoBreak;
            wrapped += noBreak ? ' ' : word[at];
            at += noBreak ? NoBreak.size() : 1;
        }
        column += length;
        lineEmpty = false;
    }
    return wrapped;
}

}  // namespace mirel
