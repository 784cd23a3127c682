#include "ResultsFile.h"

#include "StatisticsTestSupport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace mirel::er {
namespace {

using testing::FromWindows1251;

// The example of a 5 s run at 48000 Hz with 12 pulses on channel A.
ResultRows ExampleRows()
{
    ResultRows rows = EmptyRows();
    rows[0].A = rows[0].B = "3270";
    rows[1].A = "12";
    rows[1].B = "0";
    rows[2].A = "0,0036697247706422";
    rows[2].B = "0";
    return rows;
}

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(ResultsFile, FiveLinesInWindows1251)
{
    const std::string text = ResultsText(ExampleRows(), 5);
    EXPECT_EQ(text, "Параметр\t\t\tКанал А\t\t\tКанал В\r\n"
                    "Всего передано сигналов:\t3270\t\t\t3270\r\n"
                    "Из них передано с ошибкой:\t12\t\t\t0\r\n"
                    "Оценка вероятности ошибки:\t0,0036697247706422\t0\r\n"
                    "Время измерения: 5 сек");
    const auto bytes = ToWindows1251(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(FromWindows1251(*bytes), text);
    // One byte a character; the channel letters of the heading are the Cyrillic А (C0) and В (C2).
    const std::string heading = bytes->substr(0, bytes->find('\r'));
    EXPECT_EQ(heading.size(), std::string("Parametr\t\t\tKanal A\t\t\tKanal B").size());
    EXPECT_EQ(static_cast<unsigned char>(heading[17]), 0xC0);
    EXPECT_EQ(static_cast<unsigned char>(heading.back()), 0xC2);
    EXPECT_EQ(static_cast<unsigned char>(heading[0]), 0xCF);  // П
    EXPECT_EQ(static_cast<unsigned char>(bytes->back()), 0xEA) << "no line end after the last line (к)";

    const std::string early = ResultsText(EmptyRows(), 0.6);  // an empty table, a fractional length
    EXPECT_EQ(early.substr(early.rfind("ошибки")), "ошибки:\t\t\r\nВремя измерения: 0,6 сек");
    EXPECT_FALSE(ToWindows1251("Канал 中")) << "a character without a place in the code page";
}

TEST(ResultsFile, ProposedNameAndExtension)
{
    EXPECT_EQ(ProposedFileName({2006, 12, 7, 4, 55, 12}),
              "Mirel_500 [Подсчет ошибок] [Date - 07;12;06] [Time - 4;55;12]");
    EXPECT_EQ(ProposedFileName({2031, 1, 25, 23, 5, 9}),
              "Mirel_500 [Подсчет ошибок] [Date - 25;01;31] [Time - 23;05;09]");

    for (auto [typed, saved] : {std::pair{"results", "results.txt"},
                                {"RESULTS.TXT", "RESULTS.TXT.txt"},
                                {"a.txt", "a.txt"},
                                {"/tmp/Итоги.txt", "/tmp/Итоги.txt"},
                                {"txt", "txt.txt"},
                                {"a.txt.bak", "a.txt.bak.txt"},
                                {"a.Txt", "a.Txt.txt"}})
        EXPECT_EQ(WithTxtExtension(typed), saved) << typed;
}

TEST(ResultsFile, WritingReplacesTheFileOrSaysWhyNot)
{
    const auto folder = std::filesystem::temp_directory_path() / ("mirel-results-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto path = folder / "r.txt";
    {
        std::ofstream old(path);
        old << std::string(500, 'x');
    }
    EXPECT_FALSE(WriteResultsFile(path.string(), "new\r\nlines"));
    EXPECT_EQ(ReadAll(path), "new\r\nlines") << "an older, longer file leaves nothing behind";

    EXPECT_EQ(WriteResultsFile((folder / "missing" / "r.txt").string(), "x"), "папка не найдена");
    EXPECT_EQ(WriteResultsFile(folder.string(), "x"), "под этим именем уже есть папка");
    std::filesystem::remove_all(folder);

    // A folder nobody may write in (for the superuser only the kernel's own are such).
    const std::string readOnly = geteuid() == 0 ? "/sys" : "/";
    if (!std::filesystem::exists(readOnly))
        GTEST_SKIP() << "no read-only folder here";
    const auto error = WriteResultsFile(readOnly + "/mirel-results.txt", "x");
    ASSERT_TRUE(error);
    EXPECT_TRUE(*error == "нет прав на запись" || *error == "диск только для чтения") << *error;
}

}  // namespace
}  // namespace mirel::er
