// Snapshots through the built program: what each display saves of a known signal, the controls
// set from the command line, identical files from identical runs, and refusals that write nothing.
#include "ProgramRun.h"

#include <QDir>
#include <QTemporaryDir>
#include <cmath>
#include <csignal>
#include <numbers>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace mirel;

namespace {

// The CSV's rows after the heading, split at the commas.
std::vector<QStringList> rowsOf(const QByteArray& csv)
{
    std::vector<QStringList> rows;
    const QStringList lines = QString::fromUtf8(csv).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i)
        rows.push_back(lines[i].split(','));
    return rows;
}

class Snapshot : public testing::Test {
protected:
    QTemporaryDir dir;

    ProgramRun snapshot(const QString& instrument, const QStringList& more)
    {
        return runProgram(QStringList{"snapshot", instrument} + more);
    }
    QString path(const char* name) const { return dir.filePath(name); }
};

TEST_F(Snapshot, SpectrumPeakSitsInItsBinWithItsLevelAndFollowsTheKindOfSpectrum)
{
    // A sine centred on a bin of the 32768-point transform at 48 kHz, 0.5 V in channel A only.
    constexpr int Rate = 48000;
    const double frequency = 700.0 * Rate / 32768;
    std::vector<short> frames(2 * Rate, 0);
    for (int i = 0; i < Rate; ++i)
        frames[static_cast<size_t>(2 * i)] =
            static_cast<short>(std::lround(0.5 * 32767 * std::sin(2 * std::numbers::pi * frequency * i / Rate)));
    writeStereoWav(path("sine.wav"), Rate, frames);

    for (const char* kind : {"rbSpektrAmp=1", "rbSpektrMosch=1"}) {
        const ProgramRun run =
            snapshot("spectrum", {"--input", path("sine.wav"), "--set", kind, "--output", path("s.csv")});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const std::vector<QStringList> rows = rowsOf(contents(path("s.csv")));
        ASSERT_FALSE(rows.empty());
        const auto peak = std::max_element(rows.begin(), rows.end(), [](const QStringList& a, const QStringList& b) {
            return a[1].toDouble() < b[1].toDouble();
        });
        EXPECT_DOUBLE_EQ((*peak)[0].toDouble(), frequency) << kind;
        // Amplitude 0.5 V; power of 0.5 V across 1 ohm, as the display scales it: 0.25 W.
        const double level = QString(kind) == "rbSpektrAmp=1" ? 0.5 : 0.25;
        EXPECT_NEAR((*peak)[1].toDouble(), level, 0.005) << kind;
    }
}

TEST_F(Snapshot, SpectrogramOfARecordingCountsLinesFromItsStart)
{
    // 1 s of 1500 Hz, then 3000 Hz, 0.1 V in A: both on bins of 2048 points at 48 kHz.
    constexpr int Rate = 48000;
    std::vector<short> frames(4 * Rate, 0);
    for (int i = 0; i < 2 * Rate; ++i)
        frames[static_cast<size_t>(2 * i)] = static_cast<short>(
            std::lround(3276.8 * std::sin(2 * std::numbers::pi * (i < Rate ? 1500 : 3000) * i / Rate)));
    writeStereoWav(path("tones.wav"), Rate, frames);
    const QStringList common{"--input",  path("tones.wav"), "--set",           "spectrogram=1", "--set",
                             "lines=50", "--set",           "tbAccuracy=2048", "--blocks",      "90",
                             "--output"};
    for (const char* name : {"g.png", "g.csv"}) {
        const ProgramRun run = snapshot("spectrum", common + QStringList{path(name)});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    EXPECT_FALSE(contents(path("g.png")).isEmpty());
    const QByteArray csv = contents(path("g.csv"));
    ASSERT_TRUE(csv.startsWith("channel,time_s,46.875,70.3125,")) << csv.left(60).toStdString();
    const std::vector<QStringList> rows = rowsOf(csv);
    ASSERT_EQ(rows.size(), 90u);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        // Line k ends at sample 2048 + 960 k: the tone that fills its transform, at −20 dBV.
        const auto peak = std::max_element(rows[k].begin() + 2, rows[k].end(), [](const QString& a, const QString& b) {
            return a.toDouble() < b.toDouble();
        });
        const double hz = 46.875 + 23.4375 * static_cast<double>(peak - rows[k].begin() - 2);
        ASSERT_EQ(rows[k][0], "A");
        EXPECT_DOUBLE_EQ(rows[k][1].toDouble(), 0.02 * static_cast<double>(k));
        if (2048 + 960 * k <= Rate || 960 * k >= Rate) {
            EXPECT_EQ(hz, 960 * k >= Rate ? 3000 : 1500) << k;
            EXPECT_NEAR(peak->toDouble(), -20, 0.05) << k;
        }
    }
}

TEST_F(Snapshot, DensityOfSilenceIsAllAtZeroVolts)
{
    const ProgramRun run = snapshot("density", {"--generator", "A=silence,B=silence", "--output", path("d.csv")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    std::vector<QStringList> filled;
    for (const QStringList& row : rowsOf(contents(path("d.csv"))))
        if (row[1].toDouble() != 0)
            filled.push_back(row);
    ASSERT_EQ(filled.size(), 1u);
    EXPECT_EQ(filled[0][0].toDouble(), 0.0);
    EXPECT_EQ(filled[0][1].toDouble(), 1.0);
}

TEST_F(Snapshot, IdenticalRunsGiveIdenticalFilesAndAControlChangesThePicture)
{
    const QStringList source{"--generator", "A=sine:440:0.4+noise:0.05,B=square:100:0.3"};
    // The oscilloscope takes blocks when its refresh timer asks, so only its first picture is
    // fixed by the input alone.
    for (const char* name : {"a.png", "b.png"})
        ASSERT_EQ(snapshot("oscilloscope", source + QStringList{"--no-band", "--output", path(name)}).exitCode, 0);
    for (const char* name : {"a.csv", "b.csv"})
        ASSERT_EQ(snapshot("density", source + QStringList{"--blocks", "2", "--output", path(name)}).exitCode, 0);
    EXPECT_FALSE(contents(path("a.png")).isEmpty());
    EXPECT_EQ(contents(path("a.png")), contents(path("b.png")));
    EXPECT_EQ(contents(path("a.csv")), contents(path("b.csv")));

    ASSERT_EQ(snapshot("oscilloscope", source + QStringList{"--no-band", "--set", "udX=3", "--scheme", "black",
                                                            "--output", path("c.png")})
                  .exitCode,
              0);
    EXPECT_NE(contents(path("c.png")), contents(path("a.png")));
}

TEST_F(Snapshot, RefusalsExitWithTheirStatusAndWriteNothing)
{
    const QStringList source{"--generator", "A=silence"};
    const ProgramRun unknown =
        snapshot("spectrum", source + QStringList{"--set", "tbZoom=3", "--output", path("x.png")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("tbZoom")) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.err.contains("tbAccuracy «Точность»: 0..4")) << "the valid controls with their ranges";

    const ProgramRun outOfRange =
        snapshot("spectrum", source + QStringList{"--set", "tbAccuracy=5", "--output", path("x.png")});
    EXPECT_EQ(outOfRange.exitCode, 2);
    EXPECT_TRUE(outOfRange.err.contains("0..4")) << outOfRange.err.toStdString();

    EXPECT_EQ(snapshot("density", source + QStringList{"--output", path("x.gif")}).exitCode, 2);
    EXPECT_EQ(snapshot("density", QStringList{"--input", path("missing.wav"), "--output", path("x.png")}).exitCode, 2);

    QFile plain(path("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const ProgramRun unwritable = snapshot("density", source + QStringList{"--output", path("plain/x.png")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains("x.png")) << unwritable.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"plain"});
}

// Every writer of the program, through the command that uses it: the window's picture export in
// each format, its CSV, and the results file of a measurement.
struct Writer {
    const char* Name;
    QStringList Command;  // all but --output
};
const Writer Writers[] = {
    {"png", {"snapshot", "density", "--generator", "A=silence"}},
    {"bmp", {"snapshot", "density", "--generator", "A=silence"}},
    {"jpg", {"snapshot", "density", "--generator", "A=silence"}},
    {"csv", {"snapshot", "density", "--generator", "A=silence"}},
    {"txt", {"measure", "statistics", "--generator", "A=silence", "--duration", "1"}},
};

class Writing : public testing::TestWithParam<Writer> {
protected:
    QTemporaryDir dir;
    // Names with the writer's extension, which a snapshot needs.
    QString name(const char* stem) const { return QStringLiteral("%1.%2").arg(stem, GetParam().Name); }
    QString target = dir.filePath(name("out"));

    // The program writing `output`, its files limited to `maxBytes` and made under umask 027.
    ProgramRun write(const QString& output, rlim_t maxBytes = RLIM_INFINITY)
    {
        QProcess process;
        process.setChildProcessModifier([maxBytes] {
            const rlimit limit{maxBytes, maxBytes};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails with EFBIG, as on a full disk
            ::umask(027);
        });
        process.start(QStringLiteral(MIREL_PROGRAM), GetParam().Command + QStringList{"--output", output});
        ProgramRun run;
        EXPECT_TRUE(process.waitForFinished(20000));
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }
    void writeOld(const QString& path, QFile::Permissions permissions)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
        file.close();
        file.setPermissions(permissions);
    }
    QStringList entries(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
    }
};

TEST_P(Writing, AWriteThatFailsOnTheDiskIsReportedAndTheOldFileStays)
{
    writeOld(target, QFile::ReadOwner | QFile::WriteOwner);
    const ProgramRun run = write(target, 64);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(name("out"))) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("qt.gui.imageio")) << "an image library's own complaint";
    EXPECT_EQ(contents(target), "old");
    EXPECT_EQ(write(dir.filePath(name("new")), 64).exitCode, 1);
    EXPECT_EQ(entries(dir.path()), QStringList{name("out")}) << "no temporary file, no empty new file";
}

TEST_P(Writing, LinksAreWrittenThroughAndReadOnlyFilesAndFoldersRefused)
{
    // A new file gets the umask's permissions; a link's target keeps its own and its folder gets
    // the temporary file.
    ASSERT_EQ(write(target).exitCode, 0);
    constexpr int NotUser = 0x7077;  // QFile's "user" bits repeat those of the owner or the others
    EXPECT_EQ(QFileInfo(target).permissions() & NotUser, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ASSERT_TRUE(QDir(dir.path()).mkpath("elsewhere"));
    const QString real = dir.filePath("elsewhere/" + name("real"));
    writeOld(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    const QString link = dir.filePath(name("link"));
    ASSERT_TRUE(QFile::link("elsewhere/" + name("real"), link));
    ASSERT_EQ(write(link).exitCode, 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_GT(contents(real).size(), 100);
    EXPECT_EQ(QFileInfo(real).permissions() & NotUser, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);

    // A file without write permission is refused even for root, through a link too; so is a folder.
    writeOld(real, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    ASSERT_TRUE(QDir(dir.path()).mkpath(name("folder")));
    for (const QString& refused : {link, real, dir.filePath(name("folder"))}) {
        const ProgramRun run = write(refused);
        EXPECT_EQ(run.exitCode, 1) << refused.toStdString();
        EXPECT_TRUE(run.err.contains(QFileInfo(refused).fileName())) << run.err.toStdString();
    }
    EXPECT_TRUE(write(real).err.contains(QStringLiteral("нет прав на запись")));
    EXPECT_EQ(contents(real), "old");
    EXPECT_EQ(entries(dir.path()), (QStringList{"elsewhere", name("folder"), name("link"), name("out")}));
    EXPECT_EQ(entries(dir.filePath("elsewhere")), QStringList{name("real")});
    EXPECT_TRUE(entries(dir.filePath(name("folder"))).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, Writing, testing::ValuesIn(Writers),
                         [](const testing::TestParamInfo<Writer>& info) { return std::string(info.param.Name); });

}  // namespace
