// The drawing surface: its picture follows the widget's size, drawing reaches the picture at once
// and the screen on the next paint (which copies only what changed), mouse presses come out as a
// signal.

#include "display/DrawingSurface.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace mirel;

namespace {

bool AllPixels(const QImage& image, Rgb color)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != color)
                return false;
    return true;
}

void Resize(QWidget& widget, int w, int h)
{
    widget.resize(w, h);
    QApplication::processEvents();
}

// What the window system was last given for the window: its backing store as the paint events
// left it, not a fresh rendering of the widget.
QImage OnScreen(QWidget& window)
{
    return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(DrawingSurfaceSize, PictureTakesEveryNewSizeFilledWithTheBackground)
{
    DrawingSurface surface;
    int resizes = 0;
    QObject::connect(&surface, &DrawingSurface::resized, [&] { ++resizes; });
    surface.show();
    Resize(surface, 320, 200);
    EXPECT_EQ(surface.image().size(), QSize(320, 200));
    EXPECT_EQ(surface.image().format(), QImage::Format_RGB32);
    EXPECT_TRUE(AllPixels(surface.image(), 0xFFFFFF));
    const int afterFirst = resizes;
    EXPECT_GE(afterFirst, 1);

    // Whatever was drawn goes; the new picture holds only the background of the moment.
    surface.canvas().setBrushColor(0x00FF00);
    surface.canvas().fillRect(0, 0, 320, 200);
    surface.setBackgroundColor(BlackScheme.Background);
    Resize(surface, 510, 460);
    EXPECT_EQ(surface.image().size(), surface.size());
    EXPECT_TRUE(AllPixels(surface.image(), 0x000000));
    EXPECT_EQ(resizes, afterFirst + 1);

    Resize(surface, 200, 100);  // shrinking too
    EXPECT_EQ(surface.image().size(), QSize(200, 100));
    EXPECT_TRUE(AllPixels(surface.image(), 0x000000));
    EXPECT_EQ(resizes, afterFirst + 2);
}

TEST(DrawingSurfaceSize, ResizeWhileHiddenAlsoResizesThePicture)
{
    DrawingSurface surface;
    Resize(surface, 123, 45);
    EXPECT_EQ(surface.image().size(), QSize(123, 45));
}

TEST(DrawingSurfaceSize, ClearFillsWithTheBackgroundColour)
{
    DrawingSurface surface;
    surface.show();
    Resize(surface, 50, 40);
    surface.canvas().moveTo(0, 0);
    surface.canvas().lineTo(49, 39);
    surface.setBackgroundColor(0x123456);
    EXPECT_EQ(surface.backgroundColor(), 0x123456u);
    surface.clear();
    EXPECT_TRUE(AllPixels(surface.image(), 0x123456));
}

TEST(DrawingSurfaceDrawing, DrawingReachesThePictureAtOnceAndTheScreenOnPaint)
{
    DrawingSurface surface;
    surface.show();
    Resize(surface, 100, 80);
    Canvas& canvas = surface.canvas();
    canvas.setBrushColor(0x0000FF);
    canvas.fillRect(10, 10, 30, 30);
    canvas.setPenColor(0xFF0000);
    canvas.moveTo(40, 50);
    canvas.lineTo(90, 50);
    // No event has run yet: the picture already holds the drawing.
    EXPECT_EQ(surface.image().pixel(15, 15) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(surface.image().pixel(60, 50) & 0xFFFFFF, 0xFF0000u);

    QApplication::processEvents();
    const QImage screen = surface.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(screen.size(), surface.image().size());
    EXPECT_EQ(screen, surface.image());
}

TEST(DrawingSurfaceMouse, PressesAreForwardedWithButtonAndPosition)
{
    DrawingSurface surface;
    surface.show();
    Resize(surface, 100, 80);
    std::vector<std::pair<Qt::MouseButton, QPoint>> presses;
    QObject::connect(&surface, &DrawingSurface::mousePressed,
                     [&](Qt::MouseButton button, QPoint at) { presses.emplace_back(button, at); });

    for (auto [button, at] : {std::pair{Qt::LeftButton, QPoint(12, 34)}, std::pair{Qt::RightButton, QPoint(99, 0)}}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), surface.mapToGlobal(QPointF(at)), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(&surface, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), surface.mapToGlobal(QPointF(at)), button,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&surface, &release);
    }
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(presses[0].first, Qt::LeftButton);
    EXPECT_EQ(presses[0].second, QPoint(12, 34));
    EXPECT_EQ(presses[1].first, Qt::RightButton);
    EXPECT_EQ(presses[1].second, QPoint(99, 0));
}

TEST(DrawingSurfaceSize, DrawingOnAHiddenResizedSurfaceLandsInAPictureOfTheNewSize)
{
    // A window may draw before it is shown; the resize event of a hidden widget comes only then.
    DrawingSurface surface;
    surface.resize(60, 40);
    surface.canvas().setBrushColor(0xFF0000);
    surface.canvas().fillRect(50, 30, 60, 40);
    ASSERT_EQ(surface.image().size(), QSize(60, 40));
    EXPECT_EQ(surface.image().pixel(59, 39) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(surface.image().pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(DrawingSurfaceRepaint, AShortLineAsksForItsOwnPixelsOnly)
{
    DrawingSurface surface;
    surface.show();
    Resize(surface, 300, 200);
    QApplication::processEvents();
    ASSERT_TRUE(surface.pendingArea().isEmpty());

    Canvas& canvas = surface.canvas();
    canvas.moveTo(-50, -50);
    canvas.lineTo(-10, 400);  // wholly off the picture
    EXPECT_TRUE(surface.pendingArea().isEmpty());
    canvas.moveTo(10, 10);
    canvas.lineTo(30, 10);
    EXPECT_EQ(surface.pendingArea(), QRect(10, 10, 20, 1));
    canvas.moveTo(40, 25);
    canvas.lineTo(40, 15);
    EXPECT_EQ(surface.pendingArea(), QRect(10, 10, 31, 16));

    QApplication::processEvents();
    EXPECT_TRUE(surface.pendingArea().isEmpty());
    EXPECT_EQ(OnScreen(surface), surface.image());
}

TEST(DrawingSurfaceRepaint, ScreenFollowsEveryKindOfDrawing)
{
    DrawingSurface surface;
    surface.setBackgroundColor(BlackScheme.Background);
    // Drawn while hidden: shown whole on the first paint.
    surface.resize(240, 160);
    Canvas& canvas = surface.canvas();
    canvas.setBrushColor(BlackScheme.Background);
    canvas.setPenColor(BlackScheme.Frame);
    canvas.moveTo(0, 0);
    canvas.lineTo(239, 159);
    surface.show();
    QApplication::processEvents();
    EXPECT_EQ(OnScreen(surface), surface.image());

    const std::vector<std::function<void()>> steps{
        [&] { canvas.setBrushColor(0x204060), canvas.fillRect(200, 120, 400, 400); },
        [&] {
            canvas.setPenColor(BlackScheme.ChannelA);
            canvas.setPenWidth(3);
            canvas.polyline(std::vector<QPoint>{QPoint(20, 150), QPoint(60, 20), QPoint(100, 150)});
            canvas.setPenWidth(1);
        },
        [&] {
            // Slanted glyphs reach out of their cell.
            const QFont normal = canvas.font();
            QFont slanted = normal;
            slanted.setItalic(true);
            slanted.setPixelSize(24);
            canvas.setFont(slanted);
            canvas.setTextColor(BlackScheme.ChannelB);
            canvas.textOut(150, 30, QStringLiteral("jfW"));
            canvas.setFont(normal);
        },
        [&] { canvas.setBrushColor(0x000000), canvas.clear(); },
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        steps[i]();
        QApplication::processEvents();
        EXPECT_EQ(OnScreen(surface), surface.image()) << "after step " << i;
    }
}
