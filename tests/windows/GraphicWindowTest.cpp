// The hand-off skeleton and the graphical window's shared steps, on a minimal instrument fed by the
// scripted input: the buffer goes back on every path and at the right moment, and the scheme and
// line-width commands run the instrument's own steps in order.

#include "ProbeWindow.h"
#include "support/ScriptedWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

namespace mirel::test {
namespace {

struct GraphicWindowTest : ScriptedWindowTest {
    ProbeWindow window{input, link};

    void SetUp() override
    {
        window.input = &input;
        showAt(window, 600, 500, 8000);
        ASSERT_TRUE(window.Running);
        window.steps.clear();
    }
    void TearDown() override { finish(window); }
    void deliverByte(std::uint8_t value)
    {
        deliver([value](int) { return value; });
    }
};

TEST_F(GraphicWindowTest, EveryBlockIsHandedOffInOrderAndGivenBackAfterPainting)
{
    deliverByte(7);
    EXPECT_EQ(window.steps, (std::vector<std::string>{"copy", "process", "paint", "handled"}));
    EXPECT_EQ(window.firstByte, 7);
    EXPECT_FALSE(window.queuedWhileProcessing) << "the buffer is away until the block is drawn";
    EXPECT_TRUE(input.bufferQueued());
    deliverByte(9);
    EXPECT_EQ(window.firstByte, 9) << "each block is the new one";
    EXPECT_EQ(window.BlockCounter, 2);
}

TEST_F(GraphicWindowTest, DeclinedUnprocessedAndFailedBlocksStillGiveTheBufferBack)
{
    window.accept = false;
    deliverByte(1);
    EXPECT_TRUE(window.steps.empty());
    EXPECT_TRUE(input.bufferQueued());
    EXPECT_EQ(window.BlockCounter, 0);

    window.accept = true;
    window.process = false;
    deliverByte(2);
    EXPECT_EQ(window.steps, (std::vector<std::string>{"copy", "paint", "handled"}));
    EXPECT_TRUE(input.bufferQueued());

    window.process = true;
    window.throwInProcess = true;
    deliverByte(3);
    EXPECT_TRUE(window.caught);
    EXPECT_TRUE(input.bufferQueued()) << "a fault in processing does not end the capture";
}

TEST_F(GraphicWindowTest, AWindowThatGivesBackEarlyRecordsWhileItProcesses)
{
    window.giveBackEarly();
    deliverByte(4);
    EXPECT_TRUE(window.queuedWhileProcessing);
    EXPECT_EQ(window.firstByte, 4) << "copied before the buffer went back";
}

TEST_F(GraphicWindowTest, SchemeAndLineWidthRunTheInstrumentsSteps)
{
    window.ChangeColor();
    EXPECT_EQ(window.currentScheme(), BlackScheme);
    EXPECT_EQ(window.surface()->backgroundColor(), BlackScheme.Background);
    EXPECT_EQ(window.steps, (std::vector<std::string>{"ClearFon", "RedrawCurves"}));
    window.ChangeColor();
    EXPECT_EQ(window.currentScheme(), WhiteScheme);

    window.steps.clear();
    window.ChangeLineWidth(3, false);
    EXPECT_TRUE(window.steps.empty()) << "a hidden window only keeps the width";
    window.ChangeLineWidth(2, true);
    EXPECT_EQ(window.steps, (std::vector<std::string>{"ClearDiagr", "Repaint 2"})) << "erased with the old width";
    EXPECT_EQ(window.lineWidth(), 2);
}

TEST_F(GraphicWindowTest, ClosingStopsTheCaptureAndTheMenuOffersTheExport)
{
    EXPECT_EQ(window.popupMenu()->objectName(), "PM");
    EXPECT_EQ(window.exportAction()->text(), QStringLiteral("Сохранить диаграмму ..."));
    link.RequestedInstrument = Spectrum;  // a switch, not the close box
    whileStopping(window);
    window.close();
    EXPECT_FALSE(window.Running);
    EXPECT_EQ(input.openHandles, 0);
    EXPECT_EQ(link.InstrumentWidth, window.width());
}

// The save command with the window's own dialog and clock, which the other export tests replace.
class SavingProbe : public ProbeWindow {
public:
    SavingProbe(WaveInput& input, LauncherLink& link) : ProbeWindow(input, link) { enableExport({"Спектр", 120}); }
};

struct RealDialogTest : ScriptedWindowTest {
    SavingProbe window{input, link};
    QTemporaryDir dir;

    void SetUp() override
    {
        window.input = &input;
        showAt(window, 600, 500, 8000);
    }
    void TearDown() override { finish(window); }

    // Runs the picture command; once the dialog is up, picks filter `filter` (1 is the first),
    // types `name` and accepts. Returns the name the dialog proposed.
    QString saveThroughTheDialog(int filter, const QString& name)
    {
        QString proposed;
        std::function<void()> answer = [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) {
                QTimer::singleShot(10, answer);
                return;
            }
            proposed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
            dialog->selectNameFilter(dialog->nameFilters().value(filter - 1));
            dialog->setDirectory(dir.path());
            auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
            if (!edit) {
                ADD_FAILURE() << "the dialog has no name field";
                dialog->reject();
                return;
            }
            edit->setText(name);                      // typed
            static_cast<QDialog*>(dialog)->accept();  // as the dialog's own button does
        };
        QTimer::singleShot(0, answer);
        window.N1Click();
        return proposed;
    }
};

TEST_F(RealDialogTest, TheChosenFileTypeIsWrittenAndTheNameCarriesTheClock)
{
    struct Case {
        int filter;
        const char* file;
        const char* format;
    } cases[] = {{3, "a.png", "png"}, {2, "b.jpg", "jpeg"}, {1, "c.bmp", "bmp"}};
    for (const Case& c : cases) {
        const QDateTime before = QDateTime::currentDateTime();
        const QString proposed = saveThroughTheDialog(c.filter, QString(c.file).section('.', 0, 0));
        const QDateTime after = QDateTime::currentDateTime();
        QImageReader reader(dir.filePath(c.file));
        EXPECT_EQ(reader.format(), QByteArray(c.format)) << c.file;
        // The proposed name carries a moment between the two readings of the clock.
        const QRegularExpressionMatch named =
            QRegularExpression(
                QStringLiteral(
                    "^Mirel_500 \\[Спектр\\] \\[Date - (\\d\\d;\\d\\d;\\d\\d)\\] \\[Time - (\\d\\d;\\d\\d;\\d\\d)\\]$"))
                .match(proposed);
        ASSERT_TRUE(named.hasMatch()) << proposed.toStdString();
        const QDateTime at(QDate::fromString(named.captured(1), "dd;MM;yy").addYears(100),
                           QTime::fromString(named.captured(2), "hh;mm;ss"));
        EXPECT_GE(at.secsTo(after), 0) << proposed.toStdString();
        EXPECT_LE(at.secsTo(before), 0) << proposed.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name).join(' ').toStdString(),
              "a.png b.jpg c.bmp");
}

}  // namespace
}  // namespace mirel::test
