// The oscilloscope's picture of one fixed block in each colour scheme, pixel for pixel the same as
// the reference pictures in tests/oscilloscope/reference/.
//
// After an intended change of the picture, write new references and look at them before committing:
//     MIREL_UPDATE_REFERENCES=1 build/tests/oscilloscope/oscilloscope_window_tests --gtest_filter='OscPicture*'
// On a mismatch the picture drawn is written as osc-<scheme>-actual.png into the build's
// tests/oscilloscope folder.
#include "OscWindowFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QSlider>
#include <cstdlib>

using namespace mirel;

namespace {

struct OscPictureTest : test::OscWindowFixture {
    OscPictureTest()
    {
        windowWidth = 800;
        windowHeight = 600;
    }

    // Both channels on and apart, A a 1 kHz sine and B a 1 kHz pulse of a quarter period, both
    // rising 40 frames into the trigger search.
    QImage pictureOfTheFixedBlock()
    {
        form.cb2k->setChecked(true);
        form.tbAYShift->setValue(60);
        form.tbBYShift->setValue(-70);
        show(risingSine(48, 240, 16000),
             [](int frame) { return static_cast<std::int16_t>(frame % 48 < 12 ? 12000 : -12000); });
        return form.screenImage().convertToFormat(QImage::Format_RGB32);
    }

    static void compareWithReference(const QImage& actual, const QString& scheme)
    {
        const QString reference = QStringLiteral(MIREL_REFERENCE_DIR "/osc-%1.png").arg(scheme);
        if (std::getenv("MIREL_UPDATE_REFERENCES")) {
            QDir().mkpath(QStringLiteral(MIREL_REFERENCE_DIR));
            ASSERT_TRUE(actual.save(reference)) << reference.toStdString();
            return;
        }
        const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
        const QString saved = QStringLiteral(MIREL_ACTUAL_DIR "/osc-%1-actual.png").arg(scheme);
        ASSERT_FALSE(expected.isNull()) << "no reference " << reference.toStdString()
                                        << "; write it with MIREL_UPDATE_REFERENCES=1";
        if (actual.size() != expected.size()) {
            actual.save(saved);
            FAIL() << "picture " << actual.width() << "x" << actual.height() << ", reference " << expected.width()
                   << "x" << expected.height() << "; the picture is in " << saved.toStdString();
        }
        int differing = 0;
        for (int y = 0; y < actual.height(); ++y)
            for (int x = 0; x < actual.width(); ++x)
                differing += actual.pixel(x, y) != expected.pixel(x, y);
        if (differing == 0) {
            QFile::remove(saved);  // from an earlier failing run
            return;
        }
        actual.save(saved);
        ADD_FAILURE() << differing << " pixels differ from " << reference.toStdString() << "; the picture is in "
                      << saved.toStdString();
    }
};

TEST_F(OscPictureTest, WhiteScheme)
{
    compareWithReference(pictureOfTheFixedBlock(), QStringLiteral("white"));
}

TEST_F(OscPictureTest, BlackScheme)
{
    form.ChangeColor();
    compareWithReference(pictureOfTheFixedBlock(), QStringLiteral("black"));
}

}  // namespace
