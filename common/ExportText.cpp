#include "common/ExportText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace mirel {

namespace {

std::string TwoDigits(int a, char separator1, int b, char separator2, int c)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d%c%02d%c%02d", a % 100, separator1, b % 100, separator2, c % 100);
    return text;
}

std::string Header(std::string_view instrument)
{
    return "Mirel_500 [" + std::string(instrument) + "]";
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

void AppendNumber(std::string& out, double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

}  // namespace

std::string DateText(const LocalTime& time)
{
    return TwoDigits(time.Day, '.', time.Month, '.', time.Year);
}

std::string TimeText(const LocalTime& time)
{
    return TwoDigits(time.Hour, ':', time.Minute, ':', time.Second);
}

std::string BandText(std::string_view instrument, const LocalTime& time)
{
    return Header(instrument) + "   [Date - " + DateText(time) + "]  [Time - " + TimeText(time) + "]";
}

std::string ProposedFileName(std::string_view instrument, const LocalTime& time)
{
    return Header(instrument) + " [Date - " + TwoDigits(time.Day, ';', time.Month, ';', time.Year) + "] [Time - " +
           TwoDigits(time.Hour, ';', time.Minute, ';', time.Second) + "]";
}

std::string WithExtension(std::string name, std::string_view extension)
{
    if (!name.ends_with(extension))
        name += extension;
    return name;
}

std::string ToCsv(const DataTable& table)
{
    std::string out;
    std::size_t rows = 0;
    for (std::size_t c = 0; c < table.size(); ++c) {
        const DataColumn& column = table[c];
        if (c > 0)
            out += ',';
        out += CsvField(column.Unit.empty() ? column.Name : column.Name + " (" + column.Unit + ")");
        rows = std::max(rows, column.Values.size());
    }
    out += "\r\n";
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t c = 0; c < table.size(); ++c) {
            if (c > 0)
                out += ',';
            if (r < table[c].Values.size())
                AppendNumber(out, table[c].Values[r]);
        }
        out += "\r\n";
    }
    return out;
}

std::string ReadingsCsv(const std::vector<MeasuredRow>& rows)
{
    std::string out(ReadingsCsvHeader);
    out += "\r\n";
    for (const MeasuredRow& row : rows) {
        out += std::to_string(row.Block);
        out += ',';
        out += row.Channel;
        const MeasuredValues& v = row.Values;
        for (const double value :
             {v.FrequencyHz, v.PeriodS, v.MaxV, v.MinV, v.PeakToPeakV, v.MeanV, v.RmsV, v.PeakFrequencyHz,
              v.PeakAmplitudeV, v.ThdPercent, v.SnrDb, v.StdV, v.ClippedShare}) {
            out += ',';
            if (!std::isnan(value))
                AppendNumber(out, value);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace mirel
