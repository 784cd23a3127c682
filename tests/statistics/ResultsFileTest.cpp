#include "statistics/ResultsFile.h"

#include "StatisticsTestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace mirel::er {
namespace {

TEST(ResultsFile, TheHeadingNamesTheChannelsInCyrillicAndTheLastLineHasNoEnd)
{
    ResultRows rows = EmptyRows();
    rows[0].A = rows[0].B = "3270";
    const std::string text = ResultsText(rows, 0.6);
    const auto bytes = ToWindows1251(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(testing::FromWindows1251(*bytes), text);
    const std::string heading = bytes->substr(0, bytes->find("\r\n"));
    EXPECT_EQ(heading.size(), 28u) << "one byte a character";
    EXPECT_EQ(static_cast<unsigned char>(heading[17]), 0xC0);  // А
    EXPECT_EQ(static_cast<unsigned char>(heading[27]), 0xC2);  // В
    EXPECT_EQ(text.substr(text.rfind("ошибки")), "ошибки:\t\t\r\nВремя измерения: 0,6 сек");
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
                                {"/tmp/Итоги.txt", "/tmp/Итоги.txt"},
                                {"a.txt.bak", "a.txt.bak.txt"}})
        EXPECT_EQ(WithTxtExtension(typed), saved) << typed;
}

TEST(ResultsFile, SavingReplacesTheFileOrSaysWhyNot)
{
    const auto folder = std::filesystem::temp_directory_path() / ("mirel-results-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto path = folder / "r.txt";
    std::ofstream(path) << std::string(500, 'x');
    ResultRows rows = EmptyRows();
    rows[0].A = "17";
    EXPECT_FALSE(SaveResults(path.string(), rows, 2));
    std::ifstream file(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), ToWindows1251(ResultsText(rows, 2)))
        << "nothing of the old file";

    EXPECT_EQ(SaveResults((folder / "missing" / "r.txt").string(), rows, 2), "папка не найдена");
    EXPECT_EQ(SaveResults(folder.string(), rows, 2), "под этим именем уже есть папка");
    rows[0].B = "中";
    EXPECT_EQ(SaveResults(path.string(), rows, 2), "нет преобразования текста в кодировку Windows-1251");
    const auto files = std::distance(std::filesystem::directory_iterator(folder), {});
    EXPECT_EQ(files, 1) << "no temporary file is left beside the results";
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace mirel::er
