// The statistics window fed through the scripted input: a run ends by itself after exactly its
// length, counts the pulses of each channel, goes on while hidden, and its results are saved.
#include "ScriptedWindowTest.h"
#include "StatisticsTestSupport.h"
#include "TFormER.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <unistd.h>

using namespace mirel;
using namespace mirel::er::testing;

namespace {

// The window with its questions answered by the test.
class AnsweredForm : public TFormER {
public:
    using TFormER::TFormER;
    QString fileName;  // what the user picks in the save dialog; empty: cancel
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

QString Cell(const TFormER& form, int row, int column)
{
    return form.lvStat->topLevelItem(row)->text(column);
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

    void TearDown() override
    {
        form.PM->hide();
        form.Shutdown();
    }

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

    // Types into the run-length box as a user would.
    void type(const QString& keys)
    {
        form.activateWindow();
        form.cbTime->setFocus();
        for (QChar c : keys) {
            const int key = c == '\b' ? int{Qt::Key_Backspace} : c.unicode();
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, c == '\b' ? QString() : QString(c));
            QCoreApplication::sendEvent(form.cbTime, &press);
        }
    }

    std::string savedText(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return FromWindows1251(file.readAll().toStdString());
    }
};

TEST_F(StatWindowTest, AFiveSecondRunEndsByItselfWithItsResults)
{
    EXPECT_FALSE(form.N1->isEnabled()) << "nothing to save before the first run";
    form.btnStart->click();
    EXPECT_EQ(form.btnStart->text(), "Стоп");
    EXPECT_FALSE(form.cbTime->isEnabled());
    EXPECT_TRUE(form.TimerPB.isActive());
    EXPECT_EQ(form.Label8->text(), "5 сек");
    EXPECT_EQ(form.BufferBytes, 9600 * 2);

    feed(10, PulseTrain(100), Silence);
    form.TimerPBTimer();
    EXPECT_EQ(form.pbTime->value(), 40);
    EXPECT_EQ(form.Label3->text(), "2 сек");
    EXPECT_EQ(form.Label5->text(), "3 сек");
    EXPECT_EQ(Cell(form, 0, 1), "1308");
    EXPECT_EQ(Cell(form, 1, 1), "20");

    feed(14, PulseTrain(100), Silence);
    EXPECT_TRUE(form.runActive());
    feed(1, PulseTrain(100), Silence);
    EXPECT_FALSE(form.runActive());
    EXPECT_FALSE(form.Running);
    EXPECT_EQ(form.btnStart->text(), "Старт");
    EXPECT_TRUE(form.cbTime->isEnabled());
    EXPECT_TRUE(form.N1->isEnabled());
    EXPECT_FALSE(form.TimerPB.isActive());
    EXPECT_EQ(form.pbTime->value(), 0);
    EXPECT_EQ(form.run().ProcessedFrames, 240000);
    EXPECT_EQ(form.Label3->text(), "5 сек");
    EXPECT_EQ(form.Label5->text(), "0 сек");
    EXPECT_EQ(Cell(form, 0, 1), "3270");
    EXPECT_EQ(Cell(form, 0, 2), "3270");
    EXPECT_EQ(Cell(form, 1, 1), "50");
    EXPECT_EQ(Cell(form, 1, 2), "0");
    EXPECT_EQ(Cell(form, 2, 1), "0,0152905198776758");
    EXPECT_EQ(Cell(form, 2, 2), "0");

    // Saved through the popup menu: the five lines in Windows-1251.
    form.fileName = folder.filePath("results");
    form.N1->trigger();
    EXPECT_TRUE(form.proposed.startsWith("Mirel_500 [Подсчет ошибок] [Date - ")) << form.proposed.toStdString();
    EXPECT_TRUE(form.errors.isEmpty());
    EXPECT_EQ(savedText(folder.filePath("results.txt")), "Параметр\t\t\tКанал А\t\t\tКанал В\r\n"
                                                         "Всего передано сигналов:\t3270\t\t\t3270\r\n"
                                                         "Из них передано с ошибкой:\t50\t\t\t0\r\n"
                                                         "Оценка вероятности ошибки:\t0,0152905198776758\t0\r\n"
                                                         "Время измерения: 5 сек");
}

TEST_F(StatWindowTest, TheRunLengthIsTypedInWholeSeconds)
{
    form.cbTime->lineEdit()->selectAll();
    type("4x5 ");
    EXPECT_EQ(form.cbTime->currentText(), "45") << "only digits are taken";
    form.btnStart->click();
    EXPECT_EQ(form.Label8->text(), "45 сек");
    EXPECT_EQ(form.run().TotalFrames, 45 * 48000);
    form.btnStart->click();
    form.cbTime->lineEdit()->selectAll();
    type("3");
    form.btnStart->click();
    EXPECT_EQ(form.Label8->text(), "3 сек") << "typed seconds are not completed to an item";
    form.btnStart->click();

    for (const char* typed : {"", "0"}) {
        form.cbTime->setEditText(typed);
        form.btnStart->click();
        EXPECT_EQ(form.cbTime->currentText(), "10 сек") << typed;
        EXPECT_EQ(form.Label8->text(), "10 сек");
        EXPECT_EQ(form.run().TotalFrames, 480000);
        form.btnStart->click();
    }
    form.cbTime->setCurrentIndex(10);
    form.cbTimeClick();
    EXPECT_EQ(form.chosenDuration(), 600);
}

TEST_F(StatWindowTest, ARunGoesOnInTheHiddenWindowAndEnds)
{
    form.cbTime->setCurrentIndex(0);  // 1 s
    form.btnStart->click();
    feed(2, PulseTrain(100), PulseTrain(300));
    link.RequestedInstrument = Spectrum;  // the user switches to the spectrum analyser
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.Running);
    feed(3, PulseTrain(100), PulseTrain(300));
    EXPECT_FALSE(form.Running);
    EXPECT_EQ(form.btnStart->text(), "Старт");
    EXPECT_EQ(Cell(form, 0, 1), "654");
    EXPECT_EQ(Cell(form, 1, 1), "10");
    EXPECT_EQ(Cell(form, 1, 2), "10");
}

TEST_F(StatWindowTest, ARunStoppedEarlySavesWhatWasMeasured)
{
    form.cbTime->setCurrentIndex(2);
    form.btnStart->click();
    feed(3, PulseTrain(100));
    form.btnStart->click();  // "Стоп"
    EXPECT_EQ(form.btnStart->text(), "Старт");
    EXPECT_EQ(Cell(form, 0, 1), "392");
    EXPECT_EQ(Cell(form, 1, 1), "6");
    EXPECT_TRUE(form.N1->isEnabled());
    form.fileName = folder.filePath("early.txt");
    form.N1Click();
    const std::string saved = savedText(form.fileName);
    EXPECT_EQ(saved.substr(saved.rfind('\n') + 1), "Время измерения: 0,6 сек");

    // The next run starts with an empty table.
    form.btnStart->click();
    EXPECT_EQ(Cell(form, 0, 1), "");
    EXPECT_EQ(Cell(form, 1, 2), "");
    EXPECT_EQ(Cell(form, 0, 0), "Всего передано сигналов");
    EXPECT_FALSE(form.N1->isEnabled());
}

TEST_F(StatWindowTest, SavingAsksWhereNeededAndKeepsTheResultsWhenItFails)
{
    form.cbTime->setCurrentIndex(0);
    form.btnStart->click();
    feed(5, PulseTrain(100));
    ASSERT_TRUE(form.N1->isEnabled());

    form.fileName.clear();  // cancelled
    form.N1Click();
    EXPECT_TRUE(QDir(folder.path()).isEmpty());

    form.fileName = folder.filePath("RESULTS.TXT");
    form.N1Click();
    EXPECT_TRUE(QFile::exists(folder.filePath("RESULTS.TXT.txt")));
    EXPECT_FALSE(QFile::exists(folder.filePath("RESULTS.TXT")));

    // The extension made the name of a file that is there: the user is asked first.
    QFile old(folder.filePath("old.txt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("keep");
    old.close();
    form.fileName = folder.filePath("old");
    form.N1Click();
    EXPECT_EQ(form.asked, QStringList{folder.filePath("old.txt")});
    EXPECT_EQ(savedText(folder.filePath("old.txt")), "keep");
    form.replace = true;
    form.N1Click();
    EXPECT_EQ(savedText(folder.filePath("old.txt")).substr(0, 16), "Параметр");

    // A folder that cannot be written in: the message names the file and why; nothing changes.
    const QString readOnly = geteuid() == 0 ? QStringLiteral("/sys") : QStringLiteral("/");
    form.fileName = readOnly + "/results";
    form.N1Click();
    ASSERT_EQ(form.errors.size(), 1);
    EXPECT_TRUE(form.errors[0].contains(readOnly + "/results.txt")) << form.errors[0].toStdString();
    EXPECT_TRUE(form.errors[0].contains("нет прав на запись") || form.errors[0].contains("только для чтения"))
        << form.errors[0].toStdString();
    EXPECT_EQ(Cell(form, 1, 1), "10");
    EXPECT_TRUE(form.N1->isEnabled());
    EXPECT_TRUE(form.isVisible());
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
    EXPECT_EQ(form.N1->text(), "Сохранить результаты ...");
}

}  // namespace
