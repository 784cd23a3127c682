#pragma once
// Runs the built program with arguments and collects its exit status and output, for the tests
// that check what the program itself answers.

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

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

}  // namespace mirel
