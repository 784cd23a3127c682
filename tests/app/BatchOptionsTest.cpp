// What the batch commands' options do to what they save, through the built program: controls set
// by --set, the picture's file type, size, scheme and title band, the capture rate, the device
// numbers of the list, and a file measured faster than it plays.
#include "ProgramRun.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <algorithm>
#include <map>

using namespace mirel;

namespace {

// Two steady sines, so that every picture and number depends on the options alone.
const QStringList Source{"--generator", "A=sine:1000:0.5,B=sine:3000:0.25"};

struct Csv {
    QString header;
    std::vector<double> x;  // the first column
};

Csv readCsv(const QString& path)
{
    Csv csv;
    const QStringList lines = QString::fromUtf8(contents(path)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == 0)
            csv.header = lines[i];
        else
            csv.x.push_back(lines[i].section(',', 0, 0).toDouble());
    }
    return csv;
}

// The colour of most pixels.
QRgb background(const QImage& image)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    return std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
}

class BatchOptions : public testing::Test {
protected:
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }
    ProgramRun snapshot(const QString& instrument, const QStringList& options, const QString& output)
    {
        return runProgram(QStringList{"snapshot", instrument} + Source + options +
                          QStringList{"--output", path(output)});
    }
    QImage picture(const QStringList& options)
    {
        const ProgramRun run = snapshot("density", options, "p.png");
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QImage(path("p.png"));
    }
};

TEST_F(BatchOptions, ControlsSetInTurnReachTheSavedNumbers)
{
    struct Case {
        const char* instrument;
        QStringList sets;
        const char* header;
        double firstStep;  // between the first two rows; 0: not checked
        double lastAbove, lastBelow;
    } cases[] = {
        // Track bars: the upper band edge at 4 kHz; the shortest transform (2048 points) and then
        // the longest (32768 points, the bar's maximum).
        {"spectrum", {"tbFv1=3"}, "Частота (Гц),Канал A (В)", 48000.0 / 32768, 3990, 4000},
        {"spectrum", {"tbAccuracy=0"}, "Частота (Гц),Канал A (В)", 48000.0 / 2048, 23900, 24000},
        {"spectrum", {"tbAccuracy=0", "tbAccuracy=4"}, "Частота (Гц),Канал A (В)", 48000.0 / 32768, 23990, 24000},
        // Check boxes both ways; B is off at start, A on.
        {"spectrum", {"cb2k=0"}, "Частота (Гц),Канал A (В)", 48000.0 / 32768, 23990, 24000},
        {"spectrum", {"cb1k=0", "cb2k=1"}, "Частота (Гц),Канал B (В)", 48000.0 / 32768, 23990, 24000},
        // Up-down steps of the sweep: the shortest and the longest (its maximum).
        {"oscilloscope", {"udX=0"}, "Время (с),Канал A (В)", 0, 0, 0.0001},
        {"oscilloscope", {"udX=12", "cb2k=1"}, "Время (с),Канал A (В),Канал B (В)", 0, 0.15, 0.17},
    };
    for (const Case& c : cases) {
        const QString name = c.sets.join(' ');
        QStringList options;
        for (const QString& set : c.sets)
            options << "--set" << set;
        const ProgramRun run = snapshot(c.instrument, options, "s.csv");
        ASSERT_EQ(run.exitCode, 0) << name.toStdString() << ": " << run.err.toStdString();
        const Csv csv = readCsv(path("s.csv"));
        ASSERT_GE(csv.x.size(), 2u) << name.toStdString();
        EXPECT_EQ(csv.header, QString::fromUtf8(c.header)) << name.toStdString();
        if (c.firstStep > 0) {
            EXPECT_NEAR(csv.x[1] - csv.x[0], c.firstStep, 1e-9) << name.toStdString();
        }
        EXPECT_GT(csv.x.back(), c.lastAbove) << name.toStdString();
        EXPECT_LT(csv.x.back(), c.lastBelow) << name.toStdString();
    }
    // One past the maximum is refused.
    EXPECT_EQ(snapshot("oscilloscope", {"--set", "udX=13"}, "r.csv").exitCode, 2);
    EXPECT_EQ(snapshot("spectrum", {"--set", "tbAccuracy=5"}, "r.csv").exitCode, 2);
}

TEST_F(BatchOptions, TheRateSetsTheCapture)
{
    for (const int rate : {16000, 48000}) {
        ASSERT_EQ(snapshot("spectrum", {"--rate", QString::number(rate)}, "r.csv").exitCode, 0);
        const Csv csv = readCsv(path("r.csv"));
        ASSERT_FALSE(csv.x.empty());
        EXPECT_GT(csv.x.back(), rate / 2 - 10) << rate;
        EXPECT_LT(csv.x.back(), rate / 2) << rate;
    }
}

TEST_F(BatchOptions, EachPictureTypeIsWrittenUnderItsOwnNameInItsOwnFormat)
{
    struct Case {
        const char* name;
        const char* format;
    } cases[] = {{"a.png", "png"}, {"a.jpg", "jpeg"}, {"a.bmp", "bmp"}};
    for (const Case& c : cases)
        for (const QStringList& band : {QStringList{}, QStringList{"--no-band"}}) {
            const QString trace = QString("%1 %2").arg(c.name, band.join(' '));
            QDir(dir.path()).removeRecursively();
            QDir().mkpath(dir.path());
            ASSERT_EQ(snapshot("density", band, c.name).exitCode, 0) << trace.toStdString();
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{c.name})
                << trace.toStdString();
            QImageReader reader(path(c.name));
            EXPECT_EQ(reader.format(), QByteArray(c.format)) << trace.toStdString();
        }
}

TEST_F(BatchOptions, SizeSchemeAndBandOfThePicture)
{
    const QImage plain = picture({"--no-band"});
    const QImage banded = picture({});
    const QImage large = picture({"--no-band", "--size", "700x600"});
    const QImage black = picture({"--no-band", "--scheme", "black"});
    ASSERT_FALSE(plain.isNull());

    EXPECT_EQ(large.size() - plain.size(), QSize(200, 150)) << "the window grows by what --size adds";
    EXPECT_GT(qGray(background(plain)), 192);
    EXPECT_LT(qGray(background(black)), 64);

    // The band is text in the top margin, some 60 characters (about 900 pixels here): about twice
    // what the clock's digits change even when the hour turns.
    ASSERT_EQ(banded.size(), plain.size());
    int differing = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            if (banded.pixel(x, y) != plain.pixel(x, y)) {
                ++differing;
                ASSERT_LT(y, 20) << "the band reaches below the top margin at " << x << "," << y;
            }
    EXPECT_GT(differing, 450) << "no band in the picture, or one in both";
}

TEST_F(BatchOptions, AFileIsMeasuredAsFastAsItIsRead)
{
    // One second of silence, measured for a minute: in real time the run would outlast the limit
    // the program is given.
    writeStereoWav(path("quiet.wav"), 8000, std::vector<short>(2 * 8000, 0));
    const ProgramRun run = runProgram(
        {"measure", "statistics", "--input", path("quiet.wav"), "--duration", "60", "--output", path("r.txt")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Всего передано сигналов\t39240\t39240\n")) << run.out.toStdString();
}

TEST_F(BatchOptions, DevicesAreNumberedAsTheListNumbersThem)
{
    const ProgramRun list = runProgram({"--list-devices"});
    // The inputs' lines; the outputs' follow them.
    const qsizetype count = list.out.count('\n') - list.out.count("вывод ");
    if (list.exitCode != 0 || count == 0)
        GTEST_SKIP() << "no sound card to number";
    // The numbers 1 to count name a device; 0 and count + 1 name none. An unknown control ends
    // the run as soon as the device is found.
    for (const qsizetype number : {qsizetype{0}, qsizetype{1}, count, count + 1}) {
        const ProgramRun run = runProgram({"snapshot", "density", "--device", QString::number(number), "--set",
                                           "noSuchControl=1", "--output", path("d.csv")});
        const bool known = number >= 1 && number <= count;
        EXPECT_EQ(run.err.contains("нет устройства ввода"), !known) << number << ": " << run.err.toStdString();
    }
}

}  // namespace
