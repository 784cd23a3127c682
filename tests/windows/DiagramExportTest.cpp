// The save commands of a graphical window, on a small instrument that draws a frame and gives a
// fixed table: the picture in each format and scheme, the dialog's memory, the extension and
// replace rules, a cancelled dialog, a failed write, and the CSV.
#include "ProbeWindow.h"
#include "support/ExportScript.h"
#include "support/ScriptedWindowTest.h"

#include <QAction>
#include <QFile>
#include <QImageReader>

namespace mirel::test {
namespace {

// The probe with something on its screen, a table of numbers and the export hooks recorded.
class SketchWindow : public ProbeWindow {
public:
    SketchWindow(WaveInput& input, LauncherLink& link) : ProbeWindow(input, link) { enableExport({"Спектр", 120}); }

    DataTable table{{"Частота", "Гц", {0, 10.5}}, {"Канал A", "В", {0.25, 1e-3}}};

protected:
    void ClearFon() override
    {
        Canvas& c = surface()->canvas();
        c.setBrushColor(CurrentScheme.Background);
        c.clear();
        c.setPenColor(CurrentScheme.ChannelA);
        c.moveTo(10, 300);
        c.lineTo(400, 300);
    }
    void RedrawForExport() override { steps.push_back("redraw"); }
    void AfterExport(bool saved) override { steps.push_back(saved ? "after saved" : "after not saved"); }
    DataTable DisplayedData() override { return table; }
};

struct DiagramExportTest : ScriptedWindowTest {
    SketchWindow window{input, link};
    ExportScript script;

    void SetUp() override
    {
        window.input = &input;
        showAt(window, 640, 480, 8000);
        script.attach(window);
        window.steps.clear();
    }
    void TearDown() override { finish(window); }
};

TEST_F(DiagramExportTest, PicturesInEachFormatAndSchemeHaveTheSurfaceSizeAndTheBand)
{
    const char* names[] = {"bmp", "jpg", "png"};
    for (const bool black : {false, true}) {
        if (black)
            window.ChangeColor();
        const Rgb frame = window.currentScheme().Frame;
        ASSERT_TRUE(BandColumns(window.surface()->image(), 120, frame).empty()) << "no band before the command";
        for (int filter = 1; filter <= 3; ++filter) {
            SCOPED_TRACE(std::string(names[filter - 1]) + (black ? " black" : " white"));
            const QString name = QStringLiteral("pic-%1").arg(black);
            script.choose(name, filter);
            window.steps.clear();
            window.N1Click();
            EXPECT_EQ(window.steps, (std::vector<std::string>{"redraw", "after saved"}));

            QImageReader reader(script.path(name + "." + names[filter - 1]));
            EXPECT_EQ(reader.format(), names[filter - 1] == std::string("jpg") ? "jpeg" : names[filter - 1]);
            const QImage saved = reader.read();
            ASSERT_FALSE(saved.isNull()) << reader.errorString().toStdString();
            ExpectPictureWithBand(saved, window.surface()->size(), 120, frame, filter == 2 ? 48 : 0);
            // The rest of the picture is the screen's (JPEG within a small average error).
            const QImage screen = window.surface()->image();
            double error = 0;
            for (int y = 0; y < saved.height(); ++y)
                for (int x = 0; x < saved.width(); ++x)
                    error += std::abs(qGray(saved.pixel(x, y)) - qGray(screen.pixel(x, y)));
            EXPECT_LE(error / (saved.width() * saved.height()), filter == 2 ? 1.0 : 0.0);
        }
    }
    EXPECT_EQ(script.proposed.front(), QStringLiteral("Mirel_500 [Спектр] [Date - 07;12;06] [Time - 14;05;33]"));
    EXPECT_EQ(script.shownFilter, (std::vector<int>{1, 1, 2, 3, 1, 2})) << "the dialog opens on the filter chosen last";
    EXPECT_TRUE(script.errors.empty());
}

TEST_F(DiagramExportTest, JpegIsWrittenAtQuality100)
{
    script.choose("q", 2);
    window.N1Click();
    QFile file(script.path("q.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::vector<int> values = JpegQuantValues(file.readAll());
    ASSERT_GE(values.size(), 64u);
    EXPECT_EQ(std::count(values.begin(), values.end(), 1), static_cast<long>(values.size()));
}

TEST_F(DiagramExportTest, TheChosenFilterDecidesFormatAndExtension)
{
    script.choose("scope.jpg", 1);
    script.choose("scope.BMP", 1);
    script.choose("scope.png", 3);
    for (int i = 0; i < 3; ++i)
        window.N1Click();
    EXPECT_EQ(script.files(), (QStringList{"scope.BMP.bmp", "scope.jpg.bmp", "scope.png"}));
    EXPECT_EQ(QImageReader(script.path("scope.jpg.bmp")).format(), "bmp");
    EXPECT_TRUE(script.questions.empty());

    // Typed without its extension, an existing file is replaced only when the user agrees.
    QFile old(script.path("scope.png"));
    const qint64 size = old.size();
    script.replace = false;
    script.choose("scope", 3);
    window.steps.clear();
    window.N1Click();
    ASSERT_EQ(script.questions.size(), 1u);
    EXPECT_TRUE(script.questions[0].contains(script.path("scope.png")));
    EXPECT_EQ(window.steps.back(), "after not saved");
    EXPECT_EQ(old.size(), size);
    EXPECT_FALSE(QFile::exists(script.path("scope")));
}

TEST_F(DiagramExportTest, ACancelledDialogWritesNothingAndRestoresTheWindow)
{
    script.cancel();
    window.N1Click();
    script.cancel();
    window.N2Click();
    EXPECT_TRUE(script.files().isEmpty());
    EXPECT_EQ(window.steps, (std::vector<std::string>{"redraw", "after not saved", "after not saved"}));
    EXPECT_TRUE(script.errors.empty());
}

TEST_F(DiagramExportTest, AFailedWriteIsReportedWithTheFileAndTheOldFileStays)
{
    script.answers.push_back(SaveChoice{script.path("gone/pic"), 3});
    window.N1Click();
    ASSERT_EQ(script.errors.size(), 1u);
    EXPECT_TRUE(script.errors[0].contains(script.path("gone/pic.png"))) << script.errors[0].toStdString();
    EXPECT_EQ(window.steps.back(), "after not saved");
    EXPECT_TRUE(window.Running);

    // A picture the encoder refuses leaves the file that was there, and no temporary file.
    QFile keep(script.path("keep.png"));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("old");
    keep.close();
    EXPECT_FALSE(WritePicture(keep.fileName(), QImage(), "PNG").isEmpty());
    ASSERT_TRUE(keep.open(QIODevice::ReadOnly));
    EXPECT_EQ(keep.readAll(), "old");
    EXPECT_EQ(script.files(), QStringList{"keep.png"});
}

TEST_F(DiagramExportTest, CsvIsTheDisplayedTableUnderTheProposedName)
{
    script.choose("data");
    window.N2Click();
    EXPECT_EQ(script.proposed.back(), QStringLiteral("Mirel_500 [Спектр] [Date - 07;12;06] [Time - 14;05;33].csv"));
    QFile file(script.path("data.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), ToCsv(window.table));
    EXPECT_EQ(window.steps, (std::vector<std::string>{"after saved"}));
    EXPECT_TRUE(window.exportAction()->isEnabled());
    EXPECT_EQ(window.dataAction()->text(), QStringLiteral("Сохранить данные (CSV) ..."));
}

}  // namespace
}  // namespace mirel::test
