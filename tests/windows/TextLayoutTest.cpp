// The texts the three graphical displays draw, the title band of a saved picture among them: at the
// smallest window no two come closer than the gap that keeps them apart (wider between two labels),
// and at a large one every label is there. Also the density's display-mode captions in its panel.
#include "density/DensityLabels.h"
#include "density/TFormPV.h"
#include "display/AppFont.h"
#include "oscilloscope/AxisLabels.h"
#include "oscilloscope/TFormOS.h"
#include "spectrum/SpectrumLabels.h"
#include "spectrum/TFormSP.h"
#include "support/ExportScript.h"
#include "support/ScriptedWindowTest.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QRadioButton>
#include <QSlider>
#include <memory>

namespace mirel::test {
namespace {

enum class Display { Oscilloscope, Spectrum, Density };

struct LayoutCase {
    Display Shown;
    int Width, Height;
    int BandTop = 0;  // tbFv1 of the spectrum; 0 leaves the whole band
    bool Black = false;
    int NeverFits = 0;  // labels too close to a unit at any size
};

int Visible(const AxisTexts& texts)
{
    return static_cast<int>(std::count_if(texts.Texts.begin(), texts.Texts.end(),
                                          [](const PlacedText& t) { return t.Colour != TextColour::Background; }));
}

// Every text the cores give the window as it is now, the band besides.
int Offered(Display shown, GraphicWindow& window)
{
    if (shown == Display::Oscilloscope) {
        auto& os = static_cast<TFormOS&>(window);
        const auto& g = os.geometry();
        return 1 + Visible(osc::XTextOut(g, os.timeBase())) + Visible(osc::AYTextOut(g, 1, "1 В/дел")) +
               Visible(osc::BYTextOut(g, 1, "1 В/дел"));
    }
    if (shown == Display::Spectrum) {
        auto& sp = static_cast<TFormSP&>(window);
        const auto& g = sp.geometry();
        return 1 + Visible(spectrum::FreqLabels(g, sp.lowFrequency(), sp.highFrequency())) +
               Visible(spectrum::LevelLabelsA(g, sp.fullScaleA(), sp.amplitudeMode())) +
               Visible(spectrum::LevelLabelsB(g, sp.fullScaleB(), sp.amplitudeMode()));
    }
    const auto& g = static_cast<TFormPV&>(window).geometry();
    return 1 + Visible(pv::XTextOut(g)) + Visible(pv::AYTextOut(g, 1, true)) + Visible(pv::BYTextOut(g, 1, true));
}

// The glyphs' box of a drawn text, measured here in the display font.
TextBox Box(const PlacedText& text)
{
    const QFontMetrics metrics(displayFont(text.Bold));
    const QRect ink =
        metrics.tightBoundingRect(QString::fromUtf8(text.Text)).translated(text.X, text.Y + metrics.ascent());
    return {ink.left(), ink.top(), ink.right() + 1, ink.bottom() + 1};
}

struct TextLayoutTest : ScriptedWindowTest, ::testing::WithParamInterface<LayoutCase> {
    std::unique_ptr<GraphicWindow> window;

    void SetUp() override
    {
        switch (GetParam().Shown) {
        case Display::Oscilloscope: window = std::make_unique<TFormOS>(input, link); break;
        case Display::Spectrum: window = std::make_unique<TFormSP>(input, link); break;
        case Display::Density: window = std::make_unique<TFormPV>(input, link); break;
        }
        showAt(*window, GetParam().Width, GetParam().Height, 48000);
    }
    void TearDown() override { finish(*window); }
};

TEST_P(TextLayoutTest, NoTwoTextsTouchAndEveryLabelThatFitsIsDrawn)
{
    const LayoutCase& c = GetParam();
    if (c.BandTop > 0)
        static_cast<TFormSP&>(*window).tbFv1->setValue(c.BandTop);
    if (c.Black)
        window->ChangeColor();
    // The texts on the surface when the picture is taken, with its band.
    ExportScript script;
    script.attach(*window);
    std::vector<PlacedText> drawn;
    window->exportPrompts().AskFile = [&](SaveDialog&, const QString&) {
        drawn = window->shownTexts().texts();
        return std::optional<SaveChoice>();
    };
    window->N1Click();

    const auto band = [](const PlacedText& t) {
        return t.Text.find("07.12.06 14:05:33") != std::string::npos ||
               t.Text.find("[Time - 14:05:33]") != std::string::npos || t.Text.find("[14:05:33]") != std::string::npos;
    };
    ASSERT_EQ(std::count_if(drawn.begin(), drawn.end(), band), 1) << "the band";
    const int surfaceWidth = window->surface()->width();
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const TextBox a = Box(drawn[i]);
        EXPECT_TRUE(a.Left >= 3 && a.Right <= surfaceWidth - 3) << drawn[i].Text << " inside the frame";
        for (std::size_t j = i + 1; j < drawn.size(); ++j) {
            const bool labels = drawn[i].Index >= 0 && drawn[j].Index >= 0;
            EXPECT_FALSE(TooClose(a, Box(drawn[j]), labels ? LabelGapX : TextGapX))
                << "«" << drawn[i].Text << "» at " << drawn[i].X << "," << drawn[i].Y << " and «" << drawn[j].Text
                << "» at " << drawn[j].X << "," << drawn[j].Y;
        }
    }
    if (c.Width >= 1600) {
        EXPECT_EQ(static_cast<int>(drawn.size()), Offered(c.Shown, *window) - c.NeverFits)
            << "every label at a large size";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Displays, TextLayoutTest,
    ::testing::Values(LayoutCase{Display::Oscilloscope, 500, 450}, LayoutCase{Display::Oscilloscope, 500, 450, 0, true},
                      LayoutCase{Display::Oscilloscope, 800, 600}, LayoutCase{Display::Oscilloscope, 1600, 1100},
                      LayoutCase{Display::Spectrum, 500, 450, 4}, LayoutCase{Display::Spectrum, 500, 450, 0, true},
                      LayoutCase{Display::Spectrum, 1600, 1100, 4},
                      // «24,0» ends where «кГц» begins.
                      LayoutCase{Display::Spectrum, 1600, 1100, 0, false, 1}, LayoutCase{Display::Density, 500, 450},
                      LayoutCase{Display::Density, 500, 450, 0, true}, LayoutCase{Display::Density, 1600, 1100}));

// The density's display-mode captions at the smallest window: whole, inside the panel; on a panel
// narrower still, the longer one cut with the whole of it as its tooltip.
TEST_F(ScriptedWindowTest, DensityModeCaptionsFitTheSmallestWindow)
{
    TFormPV form(input, link);
    showAt(form, 500, 450, 48000);
    auto* panel = form.findChild<QWidget*>("pnlControl");
    ASSERT_NE(panel, nullptr);
    const QString whole = form.rbNM->text();
    for (const int width : {panel->width(), 420}) {
        panel->resize(width, panel->height());
        for (QRadioButton* radio : {form.rbPV, form.rbNM}) {
            EXPECT_LE(radio->mapTo(panel, QPoint(radio->width(), 0)).x(), width) << radio->text().toStdString();
            EXPECT_LE(radio->sizeHint().width(), radio->width()) << radio->text().toStdString();
        }
        EXPECT_EQ(form.rbNM->text() == whole, width >= 500) << form.rbNM->text().toStdString();
        EXPECT_EQ(form.rbNM->toolTip(), width >= 500 ? QString() : whole);
    }
    finish(form);
}

}  // namespace
}  // namespace mirel::test
