// The launcher and the instrument loop, on the scripted input: device list and rate probe, the
// modal switching with the travelling toolbar, colour scheme and line width, block sizes.
#include "app/TMainForm.h"
#include "density/TFormPV.h"
#include "display/UpDown.h"
#include "oscilloscope/TFormOS.h"
#include "spectrum/TFormSP.h"
#include "statistics/TFormER.h"
#include "support/FakeWaveInput.h"
#include "transfer/TFormTF.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace mirel;
using mirel::test::FakeDevice;
using mirel::test::FakeWaveInput;

namespace {

// The scripted devices; the last of them may stand for a recording with a rate of its own.
struct LauncherInput : FakeWaveInput {
    int recordingRate = 0;
    int ownRate(int id) override { return id == deviceCount() - 1 ? recordingRate : 0; }
};

struct LauncherTest : ::testing::Test {
    LauncherInput input;
    LauncherLink link;
    bool endRequested = false;
    QStringList messages;
    std::unique_ptr<TMainForm> MainForm;
    std::unique_ptr<TFormOS> FormOS;
    std::unique_ptr<TFormSP> FormSP;
    std::unique_ptr<TFormPV> FormPV;
    std::unique_ptr<TFormER> FormER;
    std::unique_ptr<TFormTF> FormTF;
    // Stands in for a sound card: every queued buffer comes back full a moment later.
    QTimer device;

    void SetUp() override
    {
        link.endApplication = [this] { endRequested = true; };
        QObject::connect(&device, &QTimer::timeout, [this] { input.completeBuffer(); });
        device.start(5);
    }

    void TearDown() override
    {
        for (InstrumentWindow* window : windows())
            if (window)
                window->Shutdown();
    }

    std::array<InstrumentWindow*, 5> windows()
    {
        return {FormOS.get(), FormSP.get(), FormPV.get(), FormER.get(), FormTF.get()};
    }

    bool create(std::vector<FakeDevice> devices)
    {
        input.devices = std::move(devices);
        MainForm = std::make_unique<TMainForm>(input, link);
        MainForm->showMessage = [this](const QString& text) { messages << text; };
        const bool created = MainForm->FormCreate();
        FormOS = std::make_unique<TFormOS>(input, link);
        FormSP = std::make_unique<TFormSP>(input, link);
        FormPV = std::make_unique<TFormPV>(input, link);
        FormER = std::make_unique<TFormER>(input, link);
        FormTF = std::make_unique<TFormTF>(input, link);
        MainForm->setInstruments(windows());
        MainForm->show();
        return created;
    }

    QStringList listEntries() const
    {
        QStringList entries;
        for (int i = 0; i < MainForm->lbAD->count(); ++i)
            entries << MainForm->lbAD->item(i)->text();
        return entries;
    }

    // Runs the steps one after another inside the modal loops that the first click opens.
    struct Driver : std::enable_shared_from_this<Driver> {
        std::vector<std::function<void()>> steps;
        void scheduleFrom(size_t i)
        {
            if (i >= steps.size())
                return;
            QTimer::singleShot(30, [self = shared_from_this(), i] {
                self->steps[i]();
                self->scheduleFrom(i + 1);
            });
        }
    };
    void drive(std::vector<std::function<void()>> steps)
    {
        auto driver = std::make_shared<Driver>();
        driver->steps = std::move(steps);
        driver->scheduleFrom(1);
        driver->steps[0]();
    }

    bool panelOn(QWidget* window) const { return window->isAncestorOf(MainForm->MainPanel); }
};

TEST_F(LauncherTest, ProbesTheHighestRateAndCapsItAt48kHz)
{
    ASSERT_TRUE(create({{"Studio card", true, 96000}}));
    EXPECT_EQ(MainForm->MaxSampleRate, 48000);
    EXPECT_EQ(MainForm->lblMaxFd->text(), "48 кГц");
    EXPECT_EQ(listEntries(), QStringList{"1: Studio card"});
    EXPECT_EQ(MainForm->windowTitle(), "Mirel - v1.27");
}

TEST_F(LauncherTest, A44100HzCardIsUsedAt44000Hz)
{
    ASSERT_TRUE(create({{"Laptop", true, 44100}}));
    EXPECT_EQ(MainForm->MaxSampleRate, 44000);
    EXPECT_EQ(MainForm->lblMaxFd->text(), "44 кГц");
    drive({[this] { MainForm->sbtnOSPVClick(Density); },
           [this] {
               EXPECT_EQ(FormPV->SampleRate, 44000);
               EXPECT_EQ(input.lastFormat.samplesPerSec, 44000);
               MainForm->sbtnOSPVClick(MainWindow);
           }});
    EXPECT_TRUE(MainForm->isVisible());
}

TEST_F(LauncherTest, ARecordingIsCapturedAtItsOwnRate)
{
    input.recordingRate = 44100;
    ASSERT_TRUE(create({{"Laptop", true, 48000}, {"take.wav", true, 44100}}));
    MainForm->lbAD->setCurrentRow(1);
    EXPECT_EQ(MainForm->MaxSampleRate, 44100);
    EXPECT_EQ(MainForm->lblMaxFd->text(), "44,1 кГц");
    drive({[this] { MainForm->sbtnOSPVClick(Spectrum); },
           [this] {
               EXPECT_EQ(FormSP->SampleRate, 44100);
               EXPECT_EQ(input.lastFormat.samplesPerSec, 44100);
               MainForm->sbtnOSPVClick(MainWindow);
           }});
    input.recordingRate = 22050;
    MainForm->lbAD->setCurrentRow(0);
    MainForm->lbAD->setCurrentRow(1);
    EXPECT_EQ(MainForm->lblMaxFd->text(), "22,05 кГц");
}

TEST_F(LauncherTest, ACardThatRefusesEveryRateLeavesOnlyStatistics)
{
    ASSERT_TRUE(create({{"Mono mic", true, 0}}));
    EXPECT_EQ(MainForm->lblMaxFd->text(), "0 кГц");
    EXPECT_FALSE(MainForm->sbtnOS->isEnabled());
    EXPECT_FALSE(MainForm->sbtnSP->isEnabled());
    EXPECT_FALSE(MainForm->sbtnPV->isEnabled());
    EXPECT_TRUE(MainForm->SpeedButton1->isEnabled());
    EXPECT_FALSE(MainForm->sbtnTF->isEnabled());
}

TEST_F(LauncherTest, UnreadableDevicesAreSkippedButKeepTheirNumbers)
{
    ASSERT_TRUE(create({{"First"}, {"Broken", false}, {"Third", true, 22050}}));
    EXPECT_EQ(listEntries(), (QStringList{"1: First", "3: Third"}));
    MainForm->lbAD->setCurrentRow(1);
    EXPECT_EQ(MainForm->DeviceId, 2);
    EXPECT_EQ(MainForm->lblMaxFd->text(), "22 кГц");
}

TEST_F(LauncherTest, NoDeviceShowsTheMessageAndEnds)
{
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(create({}));
    const std::string terminal = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(messages, QStringList{"Звуковая карта не обнаружена"});
    EXPECT_TRUE(endRequested);
    // One line on the terminal says how to start without a sound card.
    EXPECT_EQ(std::count(terminal.begin(), terminal.end(), '\n'), 1) << terminal;
    EXPECT_NE(terminal.find("--demo"), std::string::npos) << terminal;
    EXPECT_NE(terminal.find("--input FILE"), std::string::npos) << terminal;
    EXPECT_NE(terminal.find("звуковая карта не обнаружена"), std::string::npos) << terminal;
}

TEST_F(LauncherTest, EachToolbarButtonIsNamedAfterTheWindowItOpens)
{
    ASSERT_TRUE(create({{"Card"}}));
    const std::array<QToolButton*, 5> buttons{MainForm->sbtnOS, MainForm->sbtnSP, MainForm->sbtnPV,
                                              MainForm->SpeedButton1, MainForm->sbtnTF};
    for (size_t i = 0; i < buttons.size(); ++i)
        EXPECT_EQ(buttons[i]->toolTip(), windows()[i]->windowTitle());
}

// At the narrowest window the toolbar holds every control whole, none over another.
TEST_F(LauncherTest, NoToolbarControlCoversAnother)
{
    ASSERT_TRUE(create({{"Card"}}));
    const QList<QWidget*> controls = MainForm->MainPanel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_GE(controls.size(), 10);
    for (const QWidget* control : controls) {
        EXPECT_TRUE(QRect(0, 0, 492, 40).contains(control->geometry())) << control->objectName().toStdString();
        for (const QWidget* other : controls)
            EXPECT_TRUE(control == other || !control->geometry().intersects(other->geometry()))
                << control->objectName().toStdString() << " over " << other->objectName().toStdString();
    }
}

TEST_F(LauncherTest, TheToolbarTravelsWithTheInstrumentShown)
{
    ASSERT_TRUE(create({{"Card"}}));
    std::vector<std::string> callsAtSwitch;
    drive({
        [this] { MainForm->sbtnOSPVClick(Oscilloscope); },
        [this] {
            EXPECT_TRUE(FormOS->isVisible());
            EXPECT_FALSE(MainForm->isVisible());
            EXPECT_TRUE(panelOn(FormOS.get()));
            EXPECT_TRUE(MainForm->gbFon->isVisible());
            EXPECT_FALSE(MainForm->gbLineWidth->isVisible());
            EXPECT_TRUE(MainForm->sbtnMain->isVisible());
            EXPECT_TRUE(FormOS->Running);
            MainForm->sbtnOSPVClick(Oscilloscope);  // its own button: nothing happens
        },
        [this, &callsAtSwitch] {
            EXPECT_TRUE(FormOS->isVisible());
            EXPECT_EQ(link.CurrentInstrument, Oscilloscope);
            callsAtSwitch = input.calls;
            MainForm->sbtnOSPVClick(Spectrum);
        },
        [this] {
            EXPECT_FALSE(FormOS->isVisible());
            EXPECT_FALSE(FormOS->Running);
            EXPECT_TRUE(FormSP->isVisible());
            EXPECT_TRUE(panelOn(FormSP.get()));
            EXPECT_TRUE(MainForm->gbLineWidth->isVisible());
            MainForm->sbtnOSPVClick(Statistics);
        },
        [this] {
            EXPECT_TRUE(FormER->isVisible());
            EXPECT_TRUE(panelOn(FormER.get()));
            EXPECT_FALSE(MainForm->gbFon->isVisible());
            EXPECT_FALSE(MainForm->gbLineWidth->isVisible());
            MainForm->sbtnTF->click();
        },
        [this] {
            EXPECT_TRUE(FormTF->isVisible());
            EXPECT_TRUE(FormTF->Running);
            EXPECT_TRUE(panelOn(FormTF.get()));
            EXPECT_TRUE(MainForm->gbFon->isVisible());
            EXPECT_TRUE(MainForm->gbLineWidth->isVisible());
            MainForm->sbtnOSPVClick(MainWindow);
        },
    });
    EXPECT_TRUE(MainForm->isVisible());
    EXPECT_TRUE(panelOn(MainForm.get()));
    EXPECT_FALSE(MainForm->sbtnMain->isVisible());
    EXPECT_FALSE(MainForm->gbFon->isVisible());
    EXPECT_EQ(link.CurrentInstrument, MainWindow);
    EXPECT_FALSE(endRequested);

    // The oscilloscope's capture was closed before the spectrum opened its own.
    std::vector<std::string> afterSwitch(input.calls.begin() + static_cast<long>(callsAtSwitch.size()),
                                         input.calls.end());
    const auto close = std::find(afterSwitch.begin(), afterSwitch.end(), "close");
    const auto open = std::find(afterSwitch.begin(), afterSwitch.end(), "open");
    ASSERT_NE(close, afterSwitch.end());
    EXPECT_LT(close, open);
    // The next window opens at the size the previous one handed back.
    EXPECT_EQ(link.InstrumentWidth, FormTF->width());
}

TEST_F(LauncherTest, TheCloseBoxEndsTheProgramASwitchDoesNot)
{
    ASSERT_TRUE(create({{"Card"}}));
    drive({[this] { MainForm->sbtnOSPVClick(Density); }, [this] { MainForm->sbtnOSPVClick(Spectrum); },
           [this] {
               EXPECT_FALSE(endRequested);
               FormSP->close();  // the user's close box
           }});
    EXPECT_TRUE(endRequested);
    EXPECT_FALSE(FormSP->isVisible());
}

TEST_F(LauncherTest, TheStatisticsRunGoesOnInTheHiddenWindow)
{
    ASSERT_TRUE(create({{"Card"}}));
    drive({[this] { MainForm->sbtnOSPVClick(Statistics); },
           [this] {
               ASSERT_TRUE(FormER->Start());
               MainForm->sbtnOSPVClick(Density);
           },
           [this] {
               EXPECT_FALSE(FormER->isVisible());
               EXPECT_TRUE(FormER->Running);
               EXPECT_TRUE(FormER->recorder().Recording);
               MainForm->sbtnOSPVClick(MainWindow);
           }});
    EXPECT_TRUE(FormER->Running);
    EXPECT_FALSE(FormPV->Running);
}

TEST_F(LauncherTest, BlockSizesFollowEachInstrument)
{
    ASSERT_TRUE(create({{"Card", true, 48000}}));
    for (InstrumentWindow* window : windows()) {
        window->DeviceId = 0;
        window->SampleRate = 48000;
    }
    ASSERT_TRUE(FormPV->Start());
    EXPECT_EQ(FormPV->BufferBytes, 32000);  // 16000 frames of two 8-bit samples
    EXPECT_EQ(input.lastFormat.bitsPerSample, 8);
    ASSERT_TRUE(FormER->Start());
    EXPECT_EQ(FormER->BufferBytes, 19200);  // 9600 frames
    ASSERT_TRUE(FormSP->Start());
    EXPECT_EQ(FormSP->BufferBytes, 32768 * 4);
    EXPECT_EQ(input.lastFormat.bitsPerSample, 16);

    FormPV->SampleRate = 44000;
    FormPV->RefreshRate = 7;
    ASSERT_TRUE(FormPV->Start());
    EXPECT_EQ(FormPV->BufferBytes, 6285 * 2);
}

TEST_F(LauncherTest, TheColourSchemeReachesEveryGraphicalWindow)
{
    ASSERT_TRUE(create({{"Card"}}));
    drive({[this] { MainForm->sbtnOSPVClick(Spectrum); },
           [this] {
               MainForm->rbBlack->click();
               for (GraphicWindow* window :
                    {static_cast<GraphicWindow*>(FormOS.get()), static_cast<GraphicWindow*>(FormSP.get()),
                     static_cast<GraphicWindow*>(FormPV.get()), static_cast<GraphicWindow*>(FormTF.get())})
                   EXPECT_EQ(window->currentScheme(), BlackScheme);
               MainForm->rbBlack->click();  // no change: already black
               EXPECT_EQ(FormSP->currentScheme(), BlackScheme);
               MainForm->rbWhite->click();
               EXPECT_EQ(FormOS->currentScheme(), WhiteScheme);
               EXPECT_EQ(FormPV->currentScheme(), WhiteScheme);
               EXPECT_EQ(FormTF->currentScheme(), WhiteScheme);
               MainForm->sbtnOSPVClick(MainWindow);
           }});
}

TEST_F(LauncherTest, TheLineWidthWrapsAndTheOscilloscopeAlwaysGetsOne)
{
    ASSERT_TRUE(create({{"Card"}}));
    drive({[this] { MainForm->sbtnOSPVClick(Spectrum); },
           [this] {
               MainForm->udLineWidth->stepUp();
               MainForm->udLineWidth->stepUp();
               EXPECT_EQ(FormSP->lineWidth(), 3);
               EXPECT_EQ(FormPV->lineWidth(), 3);
               MainForm->udLineWidth->stepUp();
               EXPECT_EQ(FormSP->lineWidth(), 1);
               MainForm->udLineWidth->stepDown();
               EXPECT_EQ(MainForm->LineWidth, 3);
               MainForm->sbtnOSPVClick(Oscilloscope);
           },
           [this] {
               EXPECT_EQ(FormOS->lineWidth(), 1);
               EXPECT_FALSE(MainForm->gbLineWidth->isVisible());
               MainForm->sbtnOSPVClick(Density);
           },
           [this] {
               EXPECT_EQ(MainForm->udLineWidth->position(), 3);
               EXPECT_EQ(MainForm->LineWidth, 3);
               EXPECT_EQ(FormPV->lineWidth(), 3);
               MainForm->sbtnOSPVClick(MainWindow);
           }});
}

}  // namespace
