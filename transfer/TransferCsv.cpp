#include "transfer/TransferCsv.h"

#include <charconv>

namespace mirel::transfer {

std::string CsvNumber(double value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string TransferCsv(std::span<const TransferPoint> points)
{
    std::string out(TransferCsvHeader);
    out += "\r\n";
    out.reserve(out.size() + points.size() * 64);
    char text[32];
    const auto append = [&](double value, char end) {
        out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
        out += end;
    };
    for (const TransferPoint& p : points) {
        append(p.Frequency, ',');
        append(p.MagnitudeDb, ',');
        append(p.PhaseDeg, ',');
        append(p.Coherence, '\r');
        out += '\n';
    }
    return out;
}

}  // namespace mirel::transfer
