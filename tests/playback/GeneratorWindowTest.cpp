// The generator's dialog and toolbar toggle: what is typed into the dialog reaches the generator
// (a faulty value is marked and kept out), a start that fails is told and leaves the toggle off,
// and through the private sound server's null sink the toggle plays, takes a new level while
// playing, shows a lost output device, plays again once it is back, and stops.
#include "app/TMainForm.h"
#include "playback/GeneratorControl.h"
#include "playback/GeneratorDialog.h"
#include "playback/SignalEditor.h"
#include "support/FakeWaveInput.h"
#include "support/WaitUntil.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

namespace mirel {
void PrintTo(const SignalSpec& signal, std::ostream* out)
{
    *out << formatSignal(signal);
}
}  // namespace mirel

using namespace mirel;

namespace {

using test::waitUntil;

// As the user types: the field's text replaced.
void type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    edit->insert(text);
}

void choose(QComboBox* combo, const QString& item)
{
    const int index = combo->findText(item);
    ASSERT_GE(index, 0) << item.toStdString();
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

bool marked(const QLineEdit* edit)
{
    return edit->palette().color(QPalette::Base) != QGuiApplication::palette().color(QPalette::Base);
}

SignalSpec sine(double hz, double volts)
{
    SignalSpec s;
    s.kind = SignalKind::Sine;
    s.frequency = hz;
    s.amplitude = volts;
    return s;
}

// ---- The dialog on its own ----------------------------------------------------------------------

struct DialogTest : ::testing::Test {
    GeneratorControl control;
    std::unique_ptr<GeneratorDialog> dialog;

    void open(bool sameOnBoth)
    {
        control.setSameOnBoth(sameOnBoth);
        dialog = std::make_unique<GeneratorDialog>(control, nullptr);
        dialog->show();
    }
};

// A kind, a field of it, the unit of the level, what is typed, and the channel A it gives.
struct Typed {
    const char* kind;
    const char* field;  // object name of the field
    const char* unit;
    const char* text;
    SignalSpec expected;
};

SignalSpec with(SignalKind kind, double f, double ampl, double width = 0, double f2 = 0, double seconds = 0, int n = 0)
{
    return {kind, f, ampl, width, 0.0, f2, seconds, n};
}

void PrintTo(const Typed& typed, std::ostream* out)
{
    *out << typed.kind << ", " << typed.field << " = \"" << typed.text << "\" " << typed.unit;
}

class TypedValues : public DialogTest, public ::testing::WithParamInterface<Typed> {};

TEST_P(TypedValues, ReachTheGeneratorOnBothChannelsAtOnce)
{
    open(true);
    SignalEditor* a = dialog->ChannelA;
    choose(a->cbKind, QString::fromUtf8(GetParam().kind));
    choose(a->cbUnit, QString::fromUtf8(GetParam().unit));
    auto* field = a->findChild<QLineEdit*>(GetParam().field);
    ASSERT_TRUE(field);
    type(field, QString::fromUtf8(GetParam().text));
    EXPECT_TRUE(a->fault().isEmpty()) << a->fault().toStdString();
    EXPECT_FALSE(marked(field));
    EXPECT_EQ(control.spec().a, GetParam().expected);
    EXPECT_EQ(control.spec().b, GetParam().expected) << "B follows A";
    EXPECT_EQ(dialog->ChannelB->signal(), GetParam().expected) << "B shows what it plays";
}

INSTANTIATE_TEST_SUITE_P(Dialog, TypedValues,
                         ::testing::Values(Typed{"Синус", "edFrequency", "В", "440,5", sine(440.5, 0.5)},
                                           Typed{"Синус", "edLevel", "В", " 0.25 ", sine(1000, 0.25)},
                                           Typed{"Синус", "edLevel", "дБFS", "-20", sine(1000, 0.1)},
                                           Typed{"Синус", "edLevel", "дБFS", "0", sine(1000, 1.0)},
                                           Typed{"Меандр", "edFrequency", "В", "50", with(SignalKind::Square, 50, 0.5)},
                                           Typed{"Импульсы", "edWidth", "В", "2,5",
                                                 with(SignalKind::Pulse, 10, 0.5, 0.0025)},
                                           Typed{"Шум", "edLevel", "дБFS", "-40", with(SignalKind::Noise, 0, 0.01)},
                                           Typed{"Розовый шум", "edLevel", "В", "0,2", with(SignalKind::Pink, 0, 0.2)},
                                           Typed{"Качание частоты", "edFrequency2", "В", "5000",
                                                 with(SignalKind::Sweep, 20, 0.5, 0, 5000, 10)},
                                           Typed{"Качание частоты", "edDuration", "дБFS", "2.5",
                                                 with(SignalKind::Sweep, 20, 0.5, 0, 20000, 2.5)},
                                           Typed{"Периодический розовый шум", "edLevel", "дБFS", "−20",
                                                 with(SignalKind::Periodic, 0, 0.1, 0, 0, 0, 16384)}));

// Typed values that must not reach the generator: marked, told, and the last good signal kept.
struct Faulty {
    const char* kind;
    const char* field;
    const char* unit;
    const char* text;
};

void PrintTo(const Faulty& typed, std::ostream* out)
{
    *out << typed.kind << ", " << typed.field << " = \"" << typed.text << "\" " << typed.unit;
}

class FaultyValues : public DialogTest, public ::testing::WithParamInterface<Faulty> {};

TEST_P(FaultyValues, AreMarkedToldAndKeptOut)
{
    open(false);
    SignalEditor* b = dialog->ChannelB;
    choose(b->cbKind, QString::fromUtf8(GetParam().kind));
    choose(b->cbUnit, QString::fromUtf8(GetParam().unit));
    const GeneratorSpec before = control.spec();
    auto* field = b->findChild<QLineEdit*>(GetParam().field);
    ASSERT_TRUE(field);
    type(field, QString::fromUtf8(GetParam().text));
    EXPECT_EQ(control.spec(), before);
    EXPECT_TRUE(marked(field));
    EXPECT_FALSE(b->fault().isEmpty());
    EXPECT_TRUE(dialog->lblState->text().startsWith("Канал B: ")) << dialog->lblState->text().toStdString();
    EXPECT_EQ(field->toolTip(), b->fault());

    // Set right, the field is plain again and the value in force.
    type(field, field->property("shownText").toString());
    EXPECT_FALSE(marked(field));
    EXPECT_TRUE(b->fault().isEmpty());
    EXPECT_FALSE(dialog->lblState->text().startsWith("Канал B"));
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, FaultyValues,
    ::testing::Values(Faulty{"Синус", "edFrequency", "В", "abc"}, Faulty{"Синус", "edFrequency", "В", ""},
                      Faulty{"Синус", "edFrequency", "В", "0"}, Faulty{"Синус", "edFrequency", "В", "60000"},
                      Faulty{"Синус", "edLevel", "В", "1,5"}, Faulty{"Синус", "edLevel", "дБFS", "3"},
                      Faulty{"Импульсы", "edWidth", "В", "100"}, Faulty{"Импульсы", "edFrequency", "В", "1000"},
                      Faulty{"Качание частоты", "edFrequency2", "В", "20"},
                      Faulty{"Качание частоты", "edDuration", "В", "0"}));

TEST_F(DialogTest, StartsFromTheSignalsInUseAndChannelBGoesItsOwnWayOnlyWhenAsked)
{
    const double hz = 997.0123456;  // more digits than the field shows
    control.setSpec({sine(hz, 0.5), with(SignalKind::Pulse, 20, 0.3, 0.004)});
    open(false);
    EXPECT_EQ(dialog->ChannelA->edFrequency->text(), "997,012");
    EXPECT_EQ(dialog->ChannelB->cbKind->currentText(), "Импульсы");
    EXPECT_EQ(dialog->ChannelB->edWidth->text(), "4");
    EXPECT_TRUE(dialog->ChannelB->isEnabled());

    // The unit shows the same level otherwise and changes nothing.
    choose(dialog->ChannelA->cbUnit, "дБFS");
    EXPECT_EQ(dialog->ChannelA->edLevel->text(), "-6,02");
    choose(dialog->ChannelA->cbUnit, "В");
    EXPECT_EQ(dialog->ChannelA->edLevel->text(), "0,5");
    EXPECT_EQ(control.spec().a, sine(hz, 0.5));
    // Another field typed: the frequency shown rounded keeps its exact value.
    type(dialog->ChannelA->edLevel, "0,25");
    EXPECT_EQ(control.spec().a, sine(hz, 0.25));

    type(dialog->ChannelB->edFrequency, "25");
    EXPECT_EQ(control.spec().b, with(SignalKind::Pulse, 25, 0.3, 0.004));
    EXPECT_EQ(control.spec().a, sine(hz, 0.25));

    dialog->cbSame->setChecked(true);
    EXPECT_FALSE(dialog->ChannelB->isEnabled());
    EXPECT_EQ(control.spec().b, sine(hz, 0.25));
    EXPECT_TRUE(control.sameOnBoth());
}

// ---- The toolbar's toggle -----------------------------------------------------------------------

struct ToolbarTest : ::testing::Test {
    test::FakeWaveInput input;
    LauncherLink link;
    GeneratorControl control;
    std::unique_ptr<TMainForm> MainForm;
    QStringList messages;

    void create(int captureRate)
    {
        input.devices = {{"Card", true, captureRate}};
        MainForm = std::make_unique<TMainForm>(input, link, &control);
        MainForm->showMessage = [this](const QString& text) { messages << text; };
        ASSERT_TRUE(MainForm->FormCreate());
        MainForm->show();
    }

    // Opens the dialog with the toolbar's button, runs `steps` in it and closes it.
    void inDialog(const std::function<void(GeneratorDialog&)>& steps)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<GeneratorDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            ran = true;
            steps(*dialog);
            dialog->btnClose->click();
        });
        MainForm->sbtnGenSetup->click();
        EXPECT_TRUE(ran) << "the dialog did not open modal";
    }
};

TEST_F(ToolbarTest, AStartThatFailsIsToldAndLeavesTheToggleOff)
{
    create(48000);
    EXPECT_EQ(control.player(), nullptr) << "an unused generator touches no output";
    control.setDevice(1000);
    MainForm->sbtnGen->click();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_FALSE(MainForm->sbtnGen->isChecked());
    EXPECT_FALSE(control.isOn());
    EXPECT_EQ(MainForm->sbtnGen->toolTip(), "Генератор");
}

// Through the private sound server: its null sink is the default output.
struct SoundServerTest : ToolbarTest {
    bool sinkUnloaded = false;

    static bool pactl(const QStringList& arguments, QString* out = nullptr)
    {
        QProcess process;
        process.start("pactl", arguments);
        const bool ok =
            process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        if (out)
            *out = QString::fromLocal8Bit(process.readAllStandardOutput());
        return ok;
    }

    void SetUp() override
    {
        if (QStandardPaths::findExecutable("pactl").isEmpty())
            GTEST_SKIP() << "no sound-server test: 'pactl' is not installed";
        QString sinks;
        if (!pactl({"info"}) || !pactl({"list", "short", "sinks"}, &sinks) || !sinks.contains("nullsink"))
            GTEST_SKIP() << "no sound-server test: no PulseAudio server with a sink named 'nullsink' answers "
                            "(scripts/sound-server.sh start runs one)";
    }

    void TearDown() override
    {
        control.stop();
        if (sinkUnloaded)
            pactl({"load-module", "module-null-sink", "sink_name=nullsink", "rate=48000", "channels=2"});
    }

    bool framesGrow()
    {
        const std::int64_t from = control.player()->framesPlayed();
        return waitUntil([&] { return control.player()->framesPlayed() > from + 4800; }, 3000);
    }
};

TEST_F(SoundServerTest, TheTogglePlaysTakesANewLevelWhilePlayingAndStops)
{
    create(32000);
    inDialog([](GeneratorDialog& dialog) {
        choose(dialog.ChannelA->cbKind, "Меандр");
        choose(dialog.ChannelA->cbUnit, "дБFS");
        type(dialog.ChannelA->edLevel, "-12");
    });
    const double level12 = std::pow(10.0, -12 / 20.0);
    EXPECT_EQ(control.spec().b, with(SignalKind::Square, 1000, level12));

    MainForm->sbtnGen->click();
    ASSERT_TRUE(control.playing()) << messages.join("; ").toStdString();
    EXPECT_TRUE(MainForm->sbtnGen->isChecked());
    EXPECT_EQ(control.sampleRate(), 32000) << "plays at the capture rate of the chosen input";
    EXPECT_TRUE(MainForm->sbtnGen->toolTip().contains("32 кГц")) << MainForm->sbtnGen->toolTip().toStdString();
    EXPECT_TRUE(framesGrow());
    EXPECT_EQ(control.player()->spec().a, with(SignalKind::Square, 1000, level12));

    inDialog([&](GeneratorDialog& dialog) {
        EXPECT_TRUE(dialog.btnPlay->isChecked());
        EXPECT_EQ(dialog.ChannelA->edLevel->text(), "-12") << "the level's unit is kept";
        type(dialog.ChannelA->edLevel, "-20");
        EXPECT_TRUE(control.player()->playing());
        EXPECT_EQ(control.player()->spec().a, with(SignalKind::Square, 1000, 0.1));
        EXPECT_EQ(control.player()->spec().b, with(SignalKind::Square, 1000, 0.1));
        EXPECT_TRUE(framesGrow()) << "plays on with the new level";
    });
    EXPECT_TRUE(control.playing());
    EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();

    MainForm->sbtnGen->click();
    EXPECT_FALSE(control.player()->playing());
    EXPECT_FALSE(MainForm->sbtnGen->isChecked());
    EXPECT_EQ(MainForm->sbtnGen->toolTip(), "Генератор");
}

TEST_F(SoundServerTest, ALostDeviceIsShownAndPlaysAgainOnceBack)
{
    create(48000);
    MainForm->sbtnGen->click();
    ASSERT_TRUE(control.playing()) << messages.join("; ").toStdString();

    ASSERT_TRUE(pactl({"unload-module", "module-null-sink"}));
    sinkUnloaded = true;
    ASSERT_TRUE(waitUntil([&] { return control.lost(); }, 10000)) << "the lost output is not noticed";
    EXPECT_TRUE(MainForm->sbtnGen->isChecked()) << "still on, waiting for the device";
    EXPECT_TRUE(MainForm->sbtnGen->toolTip().startsWith("Устройство вывода потеряно"));

    ASSERT_TRUE(pactl({"load-module", "module-null-sink", "sink_name=nullsink", "rate=48000", "channels=2"}));
    sinkUnloaded = false;
    ASSERT_TRUE(waitUntil([&] { return !control.lost(); }, 15000)) << "the output is not reopened";
    EXPECT_TRUE(framesGrow());
    EXPECT_TRUE(MainForm->sbtnGen->toolTip().startsWith("Генератор включен"));
    EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
}

}  // namespace
