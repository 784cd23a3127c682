#pragma once
// Runs the built program with arguments and collects its exit status and output, for the tests
// that check what the program itself answers; writes the audio files they feed it; and tells
// whether a text for the user reads Russian.

#include <sndfile.h>

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <vector>

namespace mirel {

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

inline ProgramRun runProgram(const QStringList& arguments,
                             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
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

// Russian: Cyrillic letters, and none of the English words that a text left untranslated would
// bring (options, commands, signal names and file names are typed, and stay as they are).
inline ::testing::AssertionResult readsRussian(const std::string& text)
{
    if (text.find('\xD0') == std::string::npos && text.find('\xD1') == std::string::npos)
        return ::testing::AssertionFailure() << "no Russian word in: " << text;
    static const std::set<std::string> English{"the",   "and",   "or",  "of",       "is",       "to",     "in",
                                               "at",    "by",    "for", "from",     "with",     "no",     "not",
                                               "needs", "given", "use", "expected", "unknown",  "cannot", "does",
                                               "Hz",    "Try",   "a",   "option",   "argument", "device"};
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        const size_t first = word.find_first_not_of("(\"'");
        const size_t last = word.find_last_not_of(")\"',.;:");
        if (first != std::string::npos && last != std::string::npos && first <= last &&
            English.count(word.substr(first, last + 1 - first)))
            return ::testing::AssertionFailure() << "the English word \"" << word << "\" in: " << text;
    }
    return ::testing::AssertionSuccess();
}

inline QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace mirel
