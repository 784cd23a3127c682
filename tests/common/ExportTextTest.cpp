// Texts of a saved display: the band and the proposed names from a fixed clock, the extension rule,
// and the CSV of a table read back to the same numbers.
#include "common/ExportText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace mirel {
namespace {

TEST(ExportText, BandAndProposedNameFromTheClock)
{
    const LocalTime saved{2006, 12, 7, 14, 5, 33};
    EXPECT_EQ(BandText("Осциллограмма", saved), "Mirel_500 [Осциллограмма]   [Date - 07.12.06]  [Time - 14:05:33]");
    EXPECT_EQ(ProposedFileName("Осциллограмма", saved),
              "Mirel_500 [Осциллограмма] [Date - 07;12;06] [Time - 14;05;33]");
    EXPECT_EQ(ProposedFileName("Плотность вероятности", saved),
              "Mirel_500 [Плотность вероятности] [Date - 07;12;06] [Time - 14;05;33]");

    // Two digits everywhere, the year's last two, whatever the hour.
    const LocalTime morning{2026, 3, 9, 9, 5, 7};
    EXPECT_EQ(DateText(morning), "09.03.26");
    EXPECT_EQ(TimeText(morning), "09:05:07");
    EXPECT_EQ(ProposedFileName("Спектр", morning), "Mirel_500 [Спектр] [Date - 09;03;26] [Time - 09;05;07]");
}

TEST(ExportText, ExtensionIsAppendedUnlessTheNameEndsExactlySo)
{
    EXPECT_EQ(WithExtension("scope", ".bmp"), "scope.bmp");
    EXPECT_EQ(WithExtension("scope.bmp", ".bmp"), "scope.bmp");
    EXPECT_EQ(WithExtension("scope.jpg", ".bmp"), "scope.jpg.bmp");
    EXPECT_EQ(WithExtension("scope.BMP", ".bmp"), "scope.BMP.bmp");
    EXPECT_EQ(WithExtension("mp", ".bmp"), "mp.bmp");
    EXPECT_EQ(WithExtension("/tmp/Спектр.csv", ".csv"), "/tmp/Спектр.csv");
}

TEST(ExportText, CsvHasAHeaderWithUnitsAndNumbersThatReadBackExactly)
{
    const DataTable table{
        {"Время", "с", {-0.5, 0.0, 1e-5, 1.0 / 3}},
        {"Канал A", "В", {0.1, -1, 2.5e-12, 32767.0 / 32768}},
        {"a,\"b\"", "", {7}},
    };
    const std::string csv = ToCsv(table);
    ASSERT_TRUE(csv.starts_with("Время (с),Канал A (В),\"a,\"\"b\"\"\"\r\n")) << csv;
    EXPECT_EQ(csv.find(';'), std::string::npos);

    std::istringstream lines(csv.substr(csv.find("\r\n") + 2));
    std::string line;
    for (std::size_t row = 0; row < 4; ++row) {
        ASSERT_TRUE(std::getline(lines, line)) << "row " << row;
        ASSERT_TRUE(line.ends_with('\r'));
        line.pop_back();
        std::istringstream cells(line);
        std::string cell;
        for (std::size_t col = 0; col < 3; ++col) {
            std::getline(cells, cell, ',');
            if (row >= table[col].Values.size()) {
                EXPECT_EQ(cell, "") << "a short column leaves its cell empty";
                continue;
            }
            EXPECT_EQ(cell.find_first_of(" ,"), std::string::npos);
            EXPECT_EQ(std::stod(cell), table[col].Values[row]) << "row " << row << " column " << col;
        }
    }
    EXPECT_FALSE(std::getline(lines, line)) << "no row beyond the longest column";
    EXPECT_EQ(ToCsv({{"Время", "с", {}}}), "Время (с)\r\n");
    // A comma alone, or a quote alone, is enough to quote a cell.
    EXPECT_EQ(ToCsv({{"x,y", "", {}}, {"z\"", "", {}}}), "\"x,y\",\"z\"\"\"\r\n");
}

}  // namespace
}  // namespace mirel
