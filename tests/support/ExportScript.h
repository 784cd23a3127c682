#pragma once
// The save commands of a graphical window driven without dialogs: a fixed clock, the user's answers
// to the next dialogs given in advance, and the questions and error messages collected. Files go
// into a temporary folder of the test's own. Also readers of what a saved picture holds.

#include "windows/GraphicWindow.h"

#include <QAction>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace mirel::test {

// A saved CSV file: its header cells and its rows of numbers (an empty cell reads as NaN).
struct CsvFile {
    QStringList Header;
    std::vector<std::vector<double>> Rows;
    // The column under a header cell, or an empty one.
    std::vector<double> Column(const QString& header) const
    {
        std::vector<double> values;
        const auto at = Header.indexOf(header);
        for (const auto& row : Rows)
            if (at >= 0 && at < static_cast<qsizetype>(row.size()))
                values.push_back(row[static_cast<std::size_t>(at)]);
        return values;
    }
};

inline CsvFile ReadCsv(const QString& path)
{
    CsvFile csv;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return csv;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList cells = lines[i].split(',');
        if (i == 0) {
            csv.Header = cells;
            continue;
        }
        std::vector<double> row;
        for (const QString& cell : cells)
            row.push_back(cell.isEmpty() ? std::nan("") : cell.toDouble());
        csv.Rows.push_back(std::move(row));
    }
    return csv;
}

struct ExportScript {
    QTemporaryDir dir;
    LocalTime clock{2006, 12, 7, 14, 5, 33};
    std::deque<SaveChoice> answers;  // the next dialogs: a chosen file, or cancel (no file)
    std::vector<QString> proposed;   // the name each dialog proposed
    std::vector<int> shownFilter;    // the filter each dialog opened with
    std::vector<QString> questions;
    bool replace = true;  // the answer to a question
    std::vector<QString> errors;

    void attach(GraphicWindow& window)
    {
        auto& prompts = window.exportPrompts();
        prompts.Now = [this] { return clock; };
        prompts.AskFile = [this](SaveDialog& dialog, const QString& name) -> std::optional<SaveChoice> {
            proposed.push_back(name);
            shownFilter.push_back(dialog.FilterIndex());
            if (answers.empty())
                return std::nullopt;
            const SaveChoice next = answers.front();
            answers.pop_front();
            if (next.File.isEmpty())
                return std::nullopt;
            return next;
        };
        prompts.AskReplace = [this](const QString& question) {
            questions.push_back(question);
            return replace;
        };
        prompts.ShowError = [this](const QString& message) { errors.push_back(message); };
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    void choose(const QString& name, int filter = 1) { answers.push_back(SaveChoice{path(name), filter}); }
    void cancel() { answers.push_back({}); }
    // The user saves the shown data under `name` (".csv" added); the file read back.
    CsvFile saveData(GraphicWindow& window, const QString& name)
    {
        choose(name);
        window.dataAction()->trigger();
        return ReadCsv(path(name + ".csv"));
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
};

inline bool Near(QRgb pixel, Rgb colour, int tolerance)
{
    return std::abs(qRed(pixel) - static_cast<int>(RedOf(colour))) <= tolerance &&
           std::abs(qGreen(pixel) - static_cast<int>(GreenOf(colour))) <= tolerance &&
           std::abs(qBlue(pixel) - static_cast<int>(BlueOf(colour))) <= tolerance;
}

// Columns of the title band's strip (rows 4 to 17, from x − 2 on) that hold a pixel of `colour`.
inline std::vector<int> BandColumns(const QImage& image, int x, Rgb colour, int tolerance = 0)
{
    std::vector<int> columns;
    for (int col = std::max(x - 2, 0); col < image.width() - 3; ++col)
        for (int row = 4; row < 18 && row < image.height(); ++row)
            if (Near(image.pixel(col, row), colour, tolerance)) {
                columns.push_back(col);
                break;
            }
    return columns;
}

// A saved picture of the surface's size with the band's text from x on in the colour `frame`.
inline void ExpectPictureWithBand(const QImage& saved, QSize surface, int x, Rgb frame, int tolerance = 0)
{
    ASSERT_EQ(saved.size(), surface);
    const std::vector<int> band = BandColumns(saved, x, frame, tolerance);
    ASSERT_GT(band.size(), 150u) << "the band's text in the Frame colour";
    EXPECT_GE(band.front(), x);
    EXPECT_LE(band.front(), x + 3) << "the band starts at its x";
}

// After a write that failed: one message, naming the file; the window still shown and capturing.
inline void ExpectReportedAndRunning(const ExportScript& script, const QString& name, const InstrumentWindow& window)
{
    ASSERT_EQ(script.errors.size(), 1u);
    EXPECT_TRUE(script.errors[0].contains(script.path(name))) << script.errors[0].toStdString();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.Running);
}

// Every value of the quantisation tables of a JPEG file (all 1 at quality 100).
inline std::vector<int> JpegQuantValues(const QByteArray& jpeg)
{
    std::vector<int> values;
    for (qsizetype at = 2; at + 4 <= jpeg.size();) {
        if (static_cast<unsigned char>(jpeg[at]) != 0xFF)
            break;
        const int marker = static_cast<unsigned char>(jpeg[at + 1]);
        const int length = (static_cast<unsigned char>(jpeg[at + 2]) << 8) | static_cast<unsigned char>(jpeg[at + 3]);
        if (marker == 0xDA)  // the image data follows
            break;
        if (marker == 0xDB) {
            for (qsizetype p = at + 4; p < at + 2 + length;) {
                const bool wide = (static_cast<unsigned char>(jpeg[p]) >> 4) != 0;
                ++p;
                for (int i = 0; i < 64; ++i, p += wide ? 2 : 1)
                    values.push_back(wide ? (static_cast<unsigned char>(jpeg[p]) << 8) |
                                                static_cast<unsigned char>(jpeg[p + 1])
                                          : static_cast<unsigned char>(jpeg[p]));
            }
        }
        at += 2 + length;
    }
    return values;
}

}  // namespace mirel::test
