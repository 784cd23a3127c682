#pragma once
// Runs the built program with arguments and collects its exit status and output, for the tests
// that check what the program itself answers; and writes the audio files they feed it.

#include <sndfile.h>

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

namespace mirel {

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

inline ProgramRun runProgram(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(MIREL_PROGRAM), arguments);
    ProgramRun run;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "the program did not finish";
        return run;
    }
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "the program crashed";
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A 16-bit stereo WAV of `frames` (A, B interleaved).
inline void writeStereoWav(const QString& path, int rate, const std::vector<short>& frames)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_writef_short(file, frames.data(), static_cast<sf_count_t>(frames.size() / 2));
    sf_close(file);
}

inline QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace mirel
