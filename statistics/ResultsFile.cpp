#include "statistics/ResultsFile.h"

#include "common/AtomicFile.h"
#include "common/ValueFormat.h"

#include <iconv.h>

namespace mirel::er {

std::string ResultsText(const ResultRows& rows, double measuredSeconds)
{
    // The heading names the channels with the Cyrillic А and В.
    std::string text = "Параметр\t\t\tКанал А\t\t\tКанал В\r\n";
    for (size_t i = 0; i < rows.size(); ++i) {
        // The estimates are long numbers: one TAB between them rather than three.
        const char* between = i == 2 ? "\t" : "\t\t\t";
        text += std::string(rows[i].Caption) + ":\t" + rows[i].A + between + rows[i].B + "\r\n";
    }
    return text + "Время измерения: " + GeneralFloatText(measuredSeconds) + " сек";
}

std::optional<std::string> ToWindows1251(const std::string& utf8)
{
    iconv_t converter = iconv_open("CP1251", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(utf8.size(), '\0');  // never longer than the UTF-8 text
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* next = out.data();
    size_t outLeft = out.size();
    const size_t result = iconv(converter, &in, &inLeft, &next, &outLeft);
    iconv_close(converter);
    if (result == static_cast<size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

namespace {

std::string twoDigits(int value)
{
    const std::string digits = std::to_string(value);
    return digits.size() < 2 ? "0" + digits : digits;
}

}  // namespace

std::string ProposedFileName(const ClockTime& now)
{
    return "Mirel_500 [Подсчет ошибок] [Date - " + twoDigits(now.Day) + ";" + twoDigits(now.Month) + ";" +
           twoDigits(now.Year % 100) + "] [Time - " + std::to_string(now.Hour) + ";" + twoDigits(now.Minute) + ";" +
           twoDigits(now.Second) + "]";
}

std::string WithTxtExtension(const std::string& name)
{
    const std::string extension = ".txt";
    const bool hasIt = name.size() >= extension.size() &&
                       name.compare(name.size() - extension.size(), extension.size(), extension) == 0;
    return hasIt ? name : name + extension;
}

std::optional<std::string> SaveResults(const std::string& path, const ResultRows& rows, double measuredSeconds)
{
    const auto bytes = ToWindows1251(ResultsText(rows, measuredSeconds));
    if (!bytes)
        return "нет преобразования текста в кодировку Windows-1251";
    if (const int error = WriteFileAtomically(path, *bytes); error != 0)
        return FileErrorText(error);
    return std::nullopt;
}

}  // namespace mirel::er
