// The statistics window fed through the scripted input: a run ends by itself after exactly its
// length, counts the pulses of each channel, goes on while hidden, and its results are saved.
#include "StatisticsTestSupport.h"
#include "statistics/TFormER.h"
#include "support/ScriptedWindowTest.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolTip>
#include <QTreeWidget>
#include <unistd.h>

using namespace mirel;
using namespace mirel::er::testing;

namespace {

// The window with the questions of the export answered by the test.
class AnsweredForm : public TFormER {
public:
    using TFormER::TFormER;
    QString fileName;  // picked in the save dialog; empty: cancelled
    bool replace = false;
    QString proposed;
    QStringList asked;  // files the user was asked to replace
    QStringList errors;

protected:
    QString askFileName(const QString& p) override
    {
        proposed = p;
        return fileName;
    }
    bool askReplace(const QString& path) override
    {
        asked << path;
        return replace;
    }
    void showError(const QString& text) override { errors << text; }
};

// 12 pulses in 5 s at 48000 Hz, none on a block edge.
int TwelvePulses(std::int64_t frame)
{
    return frame < 240000 && frame % 20000 >= 100 && frame % 20000 < 148 ? 102 : 0;
}

struct StatWindowTest : test::ScriptedWindowTest {
    AnsweredForm form{input, link};
    std::int64_t streamFrame = 0;
    QTemporaryDir folder;
    QTimer card;

    void SetUp() override
    {
        // The card delivers the block in flight while a stop waits for it.
        QObject::connect(&card, &QTimer::timeout, [this] {
            if (form.recorder().Stopping)
                input.completeBuffer();
        });
        card.start(1);
        showAt(form, 500, 450, 48000);
    }

    void TearDown() override { form.Shutdown(); }

    QString cell(int row, int column) const { return form.lvStat->topLevelItem(row)->text(column); }

    // The next `count` blocks of a continuous input.
    void feed(int count, const LevelFn& a, const LevelFn& b = Silence)
    {
        for (int i = 0; i < count; ++i) {
            const int frames = form.BufferBytes / 2;
            ASSERT_TRUE(input.completeBufferWith(CardBlock(streamFrame, frames, a, b)));
            streamFrame += frames;
            QCoreApplication::processEvents();
        }
    }

    // Keys typed into the run-length box, where the keyboard delivers them.
    void type(const QString& keys)
    {
        form.activateWindow();
        form.cbTime->setFocus();
        for (QChar c : keys) {
            QKeyEvent press(QEvent::KeyPress, c.unicode(), Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(form.cbTime, &press);
        }
    }

    std::string saved(const QString& name)
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return FromWindows1251(file.readAll().toStdString());
    }
};

TEST_F(StatWindowTest, AFiveSecondRunEndsByItselfAndItsResultsAreSaved)
{
    EXPECT_FALSE(form.N1->isEnabled()) << "nothing to save before the first run";
    form.btnStart->click();
    EXPECT_EQ(form.btnStart->text(), "Стоп");
    EXPECT_FALSE(form.cbTime->isEnabled());
    EXPECT_EQ(form.Label8->text(), "5 сек");

    feed(10, TwelvePulses);
    form.TimerPBTimer();
    EXPECT_EQ(form.pbTime->value(), 40);
    EXPECT_EQ(form.Label3->text() + form.Label5->text(), "2 сек3 сек");
    EXPECT_EQ(cell(0, 1) + cell(1, 1), "13085");
    feed(14, TwelvePulses);
    EXPECT_TRUE(form.runActive());
    feed(1, TwelvePulses);  // the 25th block ends the run
    EXPECT_FALSE(form.Running);
    EXPECT_EQ(form.btnStart->text(), "Старт");
    EXPECT_TRUE(form.cbTime->isEnabled());
    EXPECT_TRUE(form.N1->isEnabled());
    EXPECT_FALSE(form.TimerPB.isActive());
    EXPECT_EQ(form.pbTime->value(), 0);
    EXPECT_EQ(form.Label3->text() + form.Label5->text(), "5 сек0 сек");

    form.fileName = folder.filePath("results");
    form.N1->trigger();
    EXPECT_TRUE(form.proposed.startsWith("Mirel_500 [Подсчет ошибок] [Date - ")) << form.proposed.toStdString();
    EXPECT_EQ(saved("results.txt"), "Параметр\t\t\tКанал А\t\t\tКанал В\r\n"
                                    "Всего передано сигналов:\t3270\t\t\t3270\r\n"
                                    "Из них передано с ошибкой:\t12\t\t\t0\r\n"
                                    "Оценка вероятности ошибки:\t0,0036697247706422\t0\r\n"
                                    "Время измерения: 5 сек");
}

TEST_F(StatWindowTest, TheRunLengthIsTypedInWholeSeconds)
{
    auto runLength = [this](const QString& typed) {
        form.cbTime->lineEdit()->selectAll();
        type(typed);
        form.btnStart->click();
        const QString length = form.Label8->text();
        form.btnStart->click();
        return length;
    };
    EXPECT_EQ(runLength("4x5 "), "45 сек") << "only digits are taken";
    EXPECT_EQ(runLength("3"), "3 сек") << "a typed number is not completed to an item";
    EXPECT_EQ(runLength("0"), "10 сек");
    EXPECT_EQ(form.cbTime->currentText(), "10 сек");
    form.cbTime->setEditText("");
    EXPECT_EQ(runLength(""), "10 сек");
}

TEST_F(StatWindowTest, ARunGoesOnInTheHiddenWindowAndEnds)
{
    form.cbTime->setCurrentIndex(0);  // 1 s
    form.btnStart->click();
    feed(2, PulseTrain(100), PulseTrain(300));
    link.RequestedInstrument = Spectrum;  // the user switches to the spectrum analyser
    form.close();
    EXPECT_FALSE(form.isVisible());
    feed(3, PulseTrain(100), PulseTrain(300));
    EXPECT_FALSE(form.Running);
    EXPECT_EQ(form.btnStart->text(), "Старт");
    EXPECT_EQ(cell(0, 1) + " " + cell(1, 1) + " " + cell(1, 2), "654 10 10");
}

TEST_F(StatWindowTest, ARunStoppedEarlySavesWhatWasMeasuredAndTheNextKeepsItsRowsUntilItsFirstBlock)
{
    form.cbTime->setCurrentIndex(2);
    form.btnStart->click();
    feed(3, PulseTrain(100));
    form.btnStart->click();  // "Стоп": the block that comes in meanwhile is not counted
    EXPECT_EQ(cell(0, 1) + " " + cell(1, 1), "392 6");
    form.fileName = folder.filePath("early.txt");
    form.N1Click();
    const std::string text = saved("early.txt");
    EXPECT_EQ(text.substr(text.rfind('\n') + 1), "Время измерения: 0,6 сек");

    form.btnStart->click();
    EXPECT_EQ(cell(0, 1) + " " + cell(1, 1), "392 6");
    EXPECT_EQ(cell(0, 0), "Всего передано сигналов");
    EXPECT_FALSE(form.N1->isEnabled());
    feed(1, Silence);
    EXPECT_EQ(cell(0, 1) + " " + cell(1, 1) + " " + cell(2, 1), "131 0 0");
}

TEST_F(StatWindowTest, SavingAsksWhereNeededAndKeepsTheResultsWhenItFails)
{
    form.cbTime->setCurrentIndex(0);
    form.btnStart->click();
    feed(5, PulseTrain(100));

    form.N1Click();  // cancelled
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    form.fileName = folder.filePath("RESULTS.TXT");
    form.N1Click();
    EXPECT_TRUE(QFile::exists(folder.filePath("RESULTS.TXT.txt")));

    // The extension made the name of a file that is there: the user is asked first.
    QFile old(folder.filePath("old.txt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("keep");
    old.close();
    form.fileName = folder.filePath("old");
    form.N1Click();
    EXPECT_EQ(form.asked, QStringList{folder.filePath("old.txt")});
    EXPECT_EQ(saved("old.txt"), "keep");
    form.replace = true;
    form.N1Click();
    EXPECT_EQ(saved("old.txt").substr(0, 16), "Параметр");

    // A folder nobody may write in (for the superuser only the kernel's own are such).
    const QString readOnly = geteuid() == 0 ? QStringLiteral("/sys") : QStringLiteral("/");
    form.fileName = readOnly + "/results";
    form.N1Click();
    ASSERT_EQ(form.errors.size(), 1);
    EXPECT_TRUE(form.errors[0].contains("«" + readOnly + "/results.txt»: нет прав на запись") ||
                form.errors[0].contains("только для чтения"))
        << form.errors[0].toStdString();
    EXPECT_EQ(cell(1, 1), "10");
    EXPECT_TRUE(form.N1->isEnabled());
}

TEST_F(StatWindowTest, TheTableFollowsTheWindowAndCarriesTheSaveMenu)
{
    form.resize(700, 600);
    EXPECT_EQ(form.lvStat->geometry(), QRect(16, 146 - InstrumentWindow::ToolbarHeight, 668, 600 - 146 - 16));
    EXPECT_EQ(form.pbTime->width(), 668);
    EXPECT_EQ(form.Bevel1->width(), 668);
    emit form.lvStat->customContextMenuRequested(QPoint(20, 40));
    EXPECT_TRUE(form.PM->isVisible());
    EXPECT_EQ(form.PM->actions(), QList<QAction*>{form.N1});
    form.PM->hide();
}

TEST_F(StatWindowTest, HoveringTheResultsSaysWhatIsCounted)
{
    // Over a row: the items have no tooltips of their own, so the table's shows.
    const QPoint at = form.lvStat->visualItemRect(form.lvStat->topLevelItem(2)).center();
    QHelpEvent hover(QEvent::ToolTip, at, form.lvStat->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(form.lvStat->viewport(), &hover);
    const QString shown = QToolTip::text();
    EXPECT_TRUE(shown.contains("со скоростью 654 в секунду")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("больше 1")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("меньше 20 из 256 уровней (около 0,16 В)")) << shown.toStdString();
    QToolTip::hideText();
}

}  // namespace

namespace {

TEST_F(StatWindowTest, ARunWaitsForALostDeviceAndSaysSo)
{
    EXPECT_TRUE(form.lblDeviceLost->isHidden());
    form.btnStartClick();
    ASSERT_TRUE(loseDevice(form));
    EXPECT_FALSE(form.lblDeviceLost->isHidden());
    input.streamFailed = false;
    form.btnStartClick();
}

}  // namespace
