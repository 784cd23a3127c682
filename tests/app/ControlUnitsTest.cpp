// --set by a value in the units a control's panel shows: each value reaches the position whose
// caption reads it, at the window's size and rate; a value that matches no position is refused with
// the list of positions and their meanings; every position's own caption names it back.
#include "app/ControlHelp.h"
#include "app/ControlSettings.h"
#include "app/ControlValues.h"
#include "density/DensityControlTable.h"
#include "density/TFormPV.h"
#include "display/UpDown.h"
#include "oscilloscope/OscControlTable.h"
#include "oscilloscope/TFormOS.h"
#include "spectrum/SpectrumControlTable.h"
#include "spectrum/TFormSP.h"
#include "support/ScriptedWindowTest.h"

#include <QAbstractSlider>
#include <QAction>
#include <QActionGroup>
#include <QTimer>
#include <memory>
#include <ostream>
#include <sstream>

using namespace mirel;

namespace {

struct Case {
    const char* Instrument;
    int Width;  // of the window; the oscilloscope's divisions follow its display's size
    int Height;
    const char* Control;
    const char* Value;
    int Position;             // -1: refused
    const char* Listed = "";  // a refusal lists the positions with their meanings
};

const Case Cases[] = {
    // The smallest window: 12 volt divisions, 16 time divisions.
    {"oscilloscope", 500, 450, "udAY", "0.5V", 10},
    {"oscilloscope", 500, 450, "udBY", "500мВ", 10},
    {"oscilloscope", 500, 450, "udAY", "5 mV/div", 4},
    {"oscilloscope", 500, 450, "udAY", "0,2 В/дел", 9},
    {"oscilloscope", 500, 450, "udX", "0.2ms", 6},
    {"oscilloscope", 500, 450, "udX", "200мкс", 6},
    {"oscilloscope", 500, 450, "udX", "2us", 0},
    {"oscilloscope", 500, 450, "udX", "3", 3},
    {"oscilloscope", 500, 450, "udAY", "0.3V", -1, "9 = 0.2 В/дел, 10 = 0.5 В/дел"},
    {"oscilloscope", 500, 450, "udX", "0.2V", -1, "6 = 0.2 мс/дел"},
    // A larger display has twice the divisions of each kind.
    {"oscilloscope", 1000, 700, "udAY", "0.5V", 11},
    {"oscilloscope", 1000, 700, "udX", "0.1мс", 6},
    {"spectrum", 500, 450, "tbFv1", "6000", 4},
    {"spectrum", 500, 450, "tbFv1", "6kHz", 4},
    {"spectrum", 500, 450, "tbFv1", "6 кГц", 4},
    {"spectrum", 500, 450, "tbFv1", "4", 4},
    {"spectrum", 500, 450, "tbFn1", "0", 1},
    {"spectrum", 500, 450, "tbFv1", "5kHz", -1, "3 = 4 кГц, 4 = 6 кГц"},
    {"spectrum", 500, 450, "tbFv1", "13", -1},
    {"spectrum", 500, 450, "tbM1", "1V", 21},
    {"spectrum", 500, 450, "tbM2", "50mV/div", 21},
    {"spectrum", 500, 450, "tbM1", "50 мВ", -1, "21 = 1 В (0.05 В/дел)"},
    {"spectrum", 500, 450, "tbAccuracy", "8192", 2},
    {"density", 500, 450, "tbVP1", "0,2/дел", 20},
    {"density", 500, 450, "tbVP2", "0.5/div", 50},
    {"density", 500, 450, "tbVP1", "0.2", -1, "1 = 0,01/дел"},
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.Instrument << " " << c.Width << "x" << c.Height << " " << c.Control << "=" << c.Value;
}

struct ControlUnits : test::ScriptedWindowTest, ::testing::WithParamInterface<Case> {
    std::unique_ptr<GraphicWindow> window;

    void SetUp() override
    {
        const std::string instrument = GetParam().Instrument;
        if (instrument == "oscilloscope")
            window = std::make_unique<TFormOS>(input, link);
        else if (instrument == "spectrum")
            window = std::make_unique<TFormSP>(input, link);
        else
            window = std::make_unique<TFormPV>(input, link);
        showAt(*window, GetParam().Width, GetParam().Height, 48000);
    }
    void TearDown() override { finish(*window); }

    int position(const char* control) const
    {
        QWidget* widget = window->findChild<QWidget*>(control);
        if (const auto* upDown = qobject_cast<const UpDown*>(widget))
            return upDown->position();
        return qobject_cast<const QAbstractSlider*>(widget)->value();
    }
};

TEST_P(ControlUnits, AValueReachesThePositionThatReadsIt)
{
    const Case& c = GetParam();
    const int before = position(c.Control);
    // The card keeps delivering, so that a control that restarts the capture need not wait out its
    // stop for the block in flight.
    QTimer card;
    card.callOnTimeout([this] { input.completeBuffer(); });
    card.start(1);
    QString error;
    const bool set = applySetting(window.get(), c.Control, QString::fromUtf8(c.Value), error);
    if (c.Position < 0) {
        EXPECT_FALSE(set);
        EXPECT_EQ(position(c.Control), before);
        // The refusal names the value and lists the control's positions with what they mean.
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.Value))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.Listed))) << error.toStdString();
    } else {
        EXPECT_TRUE(set) << error.toStdString();
        EXPECT_EQ(position(c.Control), c.Position);
    }
}

INSTANTIATE_TEST_SUITE_P(Values, ControlUnits, ::testing::ValuesIn(Cases));

// A setting of a display's menu takes the word of a choice, as a click on its item takes it, and
// the menu shows it checked; a word it lacks is refused with the words it takes.
struct MenuSettings : test::ScriptedWindowTest {};

TEST_F(MenuSettings, AWordPicksItsItem)
{
    TFormSP sp(input, link);
    showAt(sp, 500, 450, 48000);
    QString error;
    for (const auto& [name, word] : {std::pair{"window", "blackman"},
                                     {"levelScale", "db"},
                                     {"dbTop", "20"},
                                     {"dbSpan", "60"},
                                     {"frequencyScale", "log"},
                                     {"averaging", "16"},
                                     {"peakHold", "1"},
                                     {"lines", "25"},
                                     {"colourMap", "grey"},
                                     {"spectrogram", "1"},
                                     {"NReadings", "1"}})
        EXPECT_TRUE(applySetting(&sp, name, word, error)) << name << " " << error.toStdString();
    EXPECT_EQ(sp.view(), (spectrum::ViewSettings{true, 20, 60, true, spectrum::WindowKind::BlackmanHarris, 16, true,
                                                 true, 25, spectrum::ColourMap::Grey}));
    EXPECT_TRUE(sp.readingsOn());
    EXPECT_EQ(sp.BufferBytes / 4, 48000 / 25);  // the spectrogram's capture brings a line's step a buffer
    for (const QAction* item : sp.findChild<QActionGroup*>("window")->actions())
        EXPECT_EQ(item->isChecked(), item->data().toString() == "blackman");
    EXPECT_FALSE(applySetting(&sp, "window", "kaiser", error));
    EXPECT_TRUE(error.contains("rect | hann | blackman | flattop")) << error.toStdString();
    EXPECT_EQ(sp.view().Window, spectrum::WindowKind::BlackmanHarris);
    finish(sp);
}

// Every position of every table, at both display sizes, both rates and both spectrum kinds, is
// named by its own caption: the values behind the captions are the captions' numbers.
TEST(ControlTables, EachCaptionNamesItsPosition)
{
    std::vector<ControlTable> tables = {osc::ControlMeanings(500, 302), osc::ControlMeanings(1000, 552),
                                        pv::ControlMeanings()};
    for (int rate : {48000, 44100})
        for (bool amplitude : {true, false})
            tables.push_back(spectrum::ControlMeanings(rate, amplitude));
    for (const ControlTable& table : tables)
        for (const ControlMeaning& control : table)
            for (const PositionMeaning& position : control.Positions) {
                if (position.Values.empty())
                    continue;
                // "1 В (0.05 В/дел)" names its position both ways.
                std::string text = position.Text;
                const std::size_t bracket = text.find(" (");
                std::vector<std::string> forms{text.substr(0, bracket)};
                if (bracket != std::string::npos)
                    forms.push_back(text.substr(bracket + 2, text.size() - bracket - 3));
                for (const std::string& form : forms)
                    EXPECT_EQ(PositionNamed(&control, -1000, 1000, form), position.Position)
                        << control.Name << " " << form;
            }
}

TEST(ControlTables, HelpLinesFitTheTerminal)
{
    std::istringstream lines(controlsHelpText());
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(QString::fromStdString(line).size(), 80) << line;
}

}  // namespace
