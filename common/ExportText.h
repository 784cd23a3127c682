#pragma once
// Texts of a saved display: the title band written into the picture, the file name the save dialog
// proposes, the extension rule of the chosen name, and the displayed data as CSV. No Qt here.

#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace mirel {

// A moment of the local clock, as the save command reads it once.
struct LocalTime {
    int Year = 2000;  // four digits
    int Month = 1;    // 1..12
    int Day = 1;      // 1..31
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

// «07.12.06» and «14:05:33»: day.month.two-digit-year and hours:minutes:seconds, two digits each,
// whatever the system's own formats.
std::string DateText(const LocalTime& time);
std::string TimeText(const LocalTime& time);

// «Mirel_500 [Осциллограмма]   [Date - 07.12.06]  [Time - 14:05:33]», written into the picture.
std::string BandText(std::string_view instrument, const LocalTime& time);
// «Mirel_500 [Осциллограмма] [Date - 07;12;06] [Time - 14;05;33]»: no folder, no extension.
std::string ProposedFileName(std::string_view instrument, const LocalTime& time);

// `name` with `extension` (".bmp") appended unless it already ends exactly so, case included:
// «scope» → «scope.bmp», «scope.jpg» → «scope.jpg.bmp», «scope.BMP» → «scope.BMP.bmp».
std::string WithExtension(std::string name, std::string_view extension);

// The numbers behind a display: named columns with their units, all of them the same length.
struct DataColumn {
    std::string Name;  // «Канал A»
    std::string Unit;  // «В»; empty for a pure number
    std::vector<double> Values;
};
using DataTable = std::vector<DataColumn>;

// Comma-separated UTF-8 text: a header line «Name (Unit)» per column, then one line per row, "."
// as the decimal point, each number in the shortest form that reads back to the same double, lines
// ended with CR LF. A header with a comma or a quote is quoted; a short column leaves empty cells.
std::string ToCsv(const DataTable& table);

// One channel's automatic measurements of one block, whichever instrument made them; a reading
// the instrument does not make stays NaN. Volts at full scale 1 V, as the displays read them.
struct MeasuredValues {
    static constexpr double None = std::numeric_limits<double>::quiet_NaN();
    double FrequencyHz = None;  // oscilloscope
    double PeriodS = None;
    double MaxV = None;
    double MinV = None;
    double PeakToPeakV = None;
    double MeanV = None;  // oscilloscope and density
    double RmsV = None;
    double PeakFrequencyHz = None;  // spectrum
    double PeakAmplitudeV = None;
    double ThdPercent = None;
    double SnrDb = None;
    double StdV = None;  // density
    double ClippedShare = None;
};

struct MeasuredRow {
    int Block = 0;       // 1 for the first block measured
    char Channel = 'A';  // 'A' or 'B'
    MeasuredValues Values;
};

// The header line of ReadingsCsv, its columns in the order of MeasuredValues after the block and
// the channel.
inline constexpr std::string_view ReadingsCsvHeader =
    "block,channel,frequency_hz,period_s,max_v,min_v,peak_to_peak_v,mean_v,rms_v,peak_frequency_hz,"
    "peak_amplitude_v,thd_percent,snr_db,std_v,clipped_share";

// The header, then one line per row; numbers as ToCsv writes them, an empty cell for NaN, lines
// ended with CR LF.
std::string ReadingsCsv(const std::vector<MeasuredRow>& rows);

}  // namespace mirel
