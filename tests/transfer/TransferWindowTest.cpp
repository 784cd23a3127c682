// The transfer function window fed through the scripted input at 48 kHz, 4096-point transforms:
// B = A reads 0 dB and 0°, the controls, blanking, the delay and its compensation, the CSV, and no
// remnant of old curves in either scheme.
#include "support/ExportScript.h"
#include "support/ScriptedWindowTest.h"
#include "transfer/TFormTF.h"
#include "transfer/TransferCsv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <cmath>
#include <random>

using namespace mirel;
using namespace mirel::transfer;

namespace {

struct TransferWindowTest : test::ScriptedWindowTest {
    TFormTF form{input, link};
    std::vector<double> noise;
    int frame = 0;  // the next block's first frame of the signal

    void SetUp() override
    {
        std::mt19937 random(7);
        std::normal_distribution<double> normal(0, 4000);
        noise.resize(1 << 16);
        for (double& x : noise)
            x = normal(random);
        form.cbN->setCurrentText("4096");
        showAt(form, 700, 560, 48000);
        ASSERT_TRUE(form.Running);
        ASSERT_EQ(form.BufferBytes, 1024 * 4);
    }
    void TearDown() override
    {
        form.popupMenu()->hide();
        finish(form);
    }

    double a(int n) const { return noise[static_cast<std::size_t>(n) & (noise.size() - 1)]; }
    // `blocks` blocks of the noise on A and b(frame) on B.
    void feed(int blocks, const std::function<double(int)>& b)
    {
        for (int i = 0; i < blocks; ++i, frame += 1024)
            deliver(test::StereoFrames([&](int n) { return static_cast<std::int16_t>(std::lround(a(frame + n))); },
                                       [&](int n) { return static_cast<std::int16_t>(std::lround(b(frame + n))); }));
    }
    void feedEqual(int blocks)
    {
        feed(blocks, [this](int n) { return a(n); });
    }
    // Pixels of `colour` in the rows y0 … y1 of the plots' width.
    int pixels(Rgb colour, int y0, int y1) const
    {
        int n = 0;
        const auto& g = form.layout().Magnitude;
        for (int y = y0; y <= y1; ++y)
            for (int x = g.PlotLeft; x < g.PlotRight(); ++x)
                n += (form.screenImage().pixel(x, y) & 0xFFFFFF) == colour;
        return n;
    }
    // Pixels of `colour` inside both plots.
    int inPlots(Rgb colour) const
    {
        const auto& m = form.layout().Magnitude;
        const auto& p = form.layout().Phase;
        return pixels(colour, m.PlotTop, m.PlotBottom() - 1) + pixels(colour, p.PlotTop, p.PlotBottom() - 1);
    }
};

TEST_F(TransferWindowTest, EqualChannelsReadZeroDecibelsAndDegreesWithFullCoherence)
{
    EXPECT_EQ(form.windowTitle(), "Передаточная функция");
    EXPECT_EQ(form.objectName(), "FormTF");
    feedEqual(8);
    EXPECT_EQ(form.ResultCount(), 5) << "the first result after 4 blocks, then one a block";
    ASSERT_FALSE(form.analyser().Points().empty());
    for (const TransferPoint& p : form.analyser().Points()) {
        ASSERT_NEAR(p.MagnitudeDb, 0, 1e-6) << p.Frequency;
        ASSERT_NEAR(p.PhaseDeg, 0, 1e-6) << p.Frequency;
        ASSERT_GT(p.Coherence, 0.999) << p.Frequency;
    }
    const int row = MagnitudeRow(0, form.layout(), form.range());
    EXPECT_GT(pixels(WhiteScheme.ChannelA, row, row), form.layout().Magnitude.PlotWidth * 9 / 10);
    const int phaseRow = PhaseRow(0, form.layout());
    EXPECT_GT(pixels(WhiteScheme.ChannelA, phaseRow, phaseRow), form.layout().Phase.PlotWidth * 9 / 10);
    EXPECT_GT(pixels(WhiteScheme.ChannelB, form.layout().Magnitude.PlotTop, form.layout().Magnitude.PlotTop),
              form.layout().Magnitude.PlotWidth * 9 / 10)
        << "the coherence along the top";
}

// A control set as a user (or --set) sets it, and what it changes.
struct ControlCase {
    const char* Name;
    const char* Value;
    std::function<bool(const TFormTF&)> Took;
};

void PrintTo(const ControlCase& c, std::ostream* os)
{
    *os << c.Name << '=' << c.Value;
}

struct TransferControlTest : TransferWindowTest, ::testing::WithParamInterface<ControlCase> {};

TEST_P(TransferControlTest, TakesEffect)
{
    const ControlCase& c = GetParam();
    feedEqual(5);
    if (auto* combo = form.findChild<QComboBox*>(c.Name)) {
        ASSERT_GE(combo->findText(c.Value), 0);
        if (combo == form.cbN)
            whileStopping(form);  // the capture starts again with the new block
        combo->setCurrentText(c.Value);
    } else {
        auto* edit = form.findChild<QLineEdit*>(c.Name);
        ASSERT_TRUE(edit);
        const QString before = edit->text();
        edit->setText(c.Value);
        emit edit->editingFinished();
        if (!c.Took) {
            EXPECT_EQ(edit->text(), before) << "a refused value is put back";
            EXPECT_FALSE(form.fieldFault().isEmpty());
            EXPECT_EQ(form.range(), DisplayRange());
            return;
        }
        EXPECT_TRUE(form.fieldFault().isEmpty()) << form.fieldFault().toStdString();
    }
    EXPECT_TRUE(c.Took(form));
}

INSTANTIATE_TEST_SUITE_P(
    Panel, TransferControlTest,
    ::testing::Values(
        ControlCase{"cbN", "16384",
                    [](const TFormTF& f) {
                        return f.analyser().Settings().FftLength == 16384 && f.BufferBytes == 4096 * 4 &&
                               f.ResultCount() == 0;
                    }},
        ControlCase{
            "cbWindow", "Прямоугольное",
            [](const TFormTF& f) { return f.analyser().Settings().Window == spectrum::WindowKind::Rectangular; }},
        ControlCase{"cbAverage", "Бесконечно",
                    [](const TFormTF& f) { return f.analyser().Settings().Averaging == InfiniteAveraging; }},
        ControlCase{"cbSmoothing", "1/12", [](const TFormTF& f) { return f.analyser().Settings().Smoothing == 12; }},
        ControlCase{"cbBlanking", "Скрывать", [](const TFormTF& f) { return f.range().HideIncoherent; }},
        ControlCase{"edFLow", "1000",
                    [](const TFormTF& f) {
                        return f.analyser().Points().front().Frequency >= 1000 && f.range().LowHz == 1000;
                    }},
        ControlCase{"edFHigh", "5000,5",
                    [](const TFormTF& f) {
                        return f.analyser().Points().back().Frequency <= 5000.5 && f.edFHigh->text() == "5000,5";
                    }},
        ControlCase{"edDbTop", "0", [](const TFormTF& f) { return f.range().TopDb == 0; }},
        ControlCase{"edDbBottom", "-100", [](const TFormTF& f) { return f.range().BottomDb == -100; }},
        ControlCase{"edCoherence", "0.9", [](const TFormTF& f) { return f.range().CoherenceThreshold == 0.9; }},
        ControlCase{"edFLow", "abc", nullptr}, ControlCase{"edFHigh", "10", nullptr},
        ControlCase{"edDbBottom", "30", nullptr}, ControlCase{"edCoherence", "2", nullptr}),
    [](const auto& info) { return std::string(info.param.Name) + std::to_string(info.index); });

TEST_F(TransferWindowTest, IncoherentBinsAreDrawnPaleOrNotAtAll)
{
    // B unrelated to A: the coherence lies low everywhere, far below a threshold of 0.95.
    form.edCoherence->setText("0,95");
    emit form.edCoherence->editingFinished();
    feed(20, [this](int n) { return a(n + 30000); });
    const auto& g = form.layout().Magnitude;
    const Rgb pale = Blended(WhiteScheme.ChannelA, WhiteScheme.Background);
    EXPECT_EQ(inPlots(WhiteScheme.ChannelA), 0);
    EXPECT_GT(inPlots(pale), 1000);
    form.cbBlanking->setCurrentText("Скрывать");
    EXPECT_EQ(inPlots(pale), 0);
    EXPECT_GT(pixels(WhiteScheme.ChannelB, g.PlotTop, g.PlotBottom()), 100) << "the coherence stays";
    form.edCoherence->setText("0");
    emit form.edCoherence->editingFinished();
    EXPECT_GT(inPlots(WhiteScheme.ChannelA), 1000) << "no threshold: all bright";
}

TEST_F(TransferWindowTest, TheDelayFoundIsShownAndTakenOutOfThePhase)
{
    EXPECT_EQ(form.lblDelay->text(), "—");
    EXPECT_FALSE(form.chbCompensate->isEnabled());
    const auto late = [this](int n) { return -a(n - 24); };  // 0.5 ms late, inverted
    feed(12, late);
    form.btnDelay->click();
    EXPECT_EQ(form.lblDelay->text(), "Мало сигнала для поиска: нужно 2 с без перерыва");
    EXPECT_FALSE(form.chbCompensate->isEnabled());
    feed(82, late);  // 2 s at 48 kHz
    form.btnDelay->click();
    EXPECT_EQ(form.lblDelay->text(), "Задержка: 0,500 мс (24,00 отсч.), полярность −");
    ASSERT_TRUE(form.chbCompensate->isEnabled());
    const auto phaseAt = [this](double hz) {
        for (const TransferPoint& p : form.analyser().Points())
            if (p.Frequency >= hz)
                return p.PhaseDeg;
        return std::nan("");
    };
    // −180° of the inversion and −360° · f · 0.5 ms.
    EXPECT_NEAR(phaseAt(500), 90, 2);
    form.chbCompensate->setChecked(true);
    for (const double hz : {500.0, 3000.0, 15000.0})
        EXPECT_NEAR(std::abs(phaseAt(hz)), 180, 2) << hz;
    form.setReadingsOn(true);
    form.cursorMoved(QPoint(300, 100));
    const std::vector<ReadingLine> lines = form.Readings();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_TRUE(lines[0].Text.starts_with("f = "));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const auto& l) { return l.Text.starts_with("Задержка"); }));

    form.btnReset->click();
    EXPECT_EQ(form.lblDelay->text(), "—");
    EXPECT_FALSE(form.chbCompensate->isEnabled());
    EXPECT_EQ(form.ResultCount(), 0);
}

TEST_F(TransferWindowTest, TheCsvHoldsTheBinsShownAndAFrozenDisplayKeepsThem)
{
    test::ExportScript script;
    script.attach(form);
    form.edFHigh->setText("2000");
    emit form.edFHigh->editingFinished();
    feed(6, [this](int n) { return a(n) / 2; });
    const test::CsvFile csv = script.saveData(form, "response");
    EXPECT_EQ(csv.Header.join(',').toStdString(), TransferCsvHeader);
    const auto points = form.analyser().Points();
    ASSERT_EQ(csv.Rows.size(), points.size());
    EXPECT_EQ(csv.Rows.front()[0], std::ceil(20 / (48000 / 4096.0)) * 48000 / 4096);
    EXPECT_LE(csv.Rows.back()[0], 2000);
    for (const auto& row : csv.Rows)
        ASSERT_NEAR(row[1], 20 * std::log10(0.5), 0.01);

    // Frozen by the right click, the display keeps its result for the file; live again after the
    // dialog, it waits for a whole transform of frames that follow on without a gap.
    const int results = form.ResultCount();
    form.pbTFMouseDown(Qt::RightButton, QPoint(200, 200));
    form.popupMenu()->hide();
    ASSERT_FALSE(form.Live);
    feed(3, [this](int n) { return a(n); });
    EXPECT_NEAR(script.saveData(form, "frozen").Rows[0][1], 20 * std::log10(0.5), 0.01);
    EXPECT_TRUE(form.Live);
    feed(3, [this](int n) { return a(n); });
    EXPECT_EQ(form.ResultCount(), results);
    feed(1, [this](int n) { return a(n); });
    EXPECT_EQ(form.ResultCount(), results + 1);
}

TEST_F(TransferWindowTest, ANewResultLeavesNothingOfTheOldCurvesInEitherScheme)
{
    form.cbAverage->setCurrentText("1");
    for (const DisplayPalette& scheme : {WhiteScheme, BlackScheme}) {
        SCOPED_TRACE(scheme == WhiteScheme ? "white" : "black");
        if (scheme == BlackScheme) {
            form.ChangeColor();
            form.ChangeLineWidth(3, true);
        }
        feedEqual(6);
        const int zero = MagnitudeRow(0, form.layout(), form.range());
        ASSERT_GT(pixels(scheme.ChannelA, zero, zero), 100);
        feed(5, [this](int n) { return a(n) / 4; });  // −12 dB, the last result all of it
        const int lower = MagnitudeRow(20 * std::log10(0.25), form.layout(), form.range());
        EXPECT_GT(pixels(scheme.ChannelA, lower, lower), 100);
        EXPECT_EQ(pixels(scheme.ChannelA, zero - 2, zero + 2), 0);
        EXPECT_EQ(pixels(Blended(scheme.ChannelA, scheme.Background), zero - 2, zero + 2), 0);
        EXPECT_EQ(form.screenImage().pixel(5, 5) & 0xFFFFFF, scheme.Background);
    }
}

}  // namespace
