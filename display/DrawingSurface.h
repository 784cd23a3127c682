#pragma once
// A display's drawing surface: a widget that owns a picture of its own size. Everything drawn
// through canvas() goes into the picture at once; painting the widget only copies the picture to
// the screen, so the window may draw whenever it likes, not only inside a paint event. A paint
// copies only the box around what was drawn since the last one: each canvas operation reports the
// rectangle it changed.
//
// On resize the picture takes the new size, filled with the background colour, and resized() asks
// the window to draw it again. Mouse presses come out as mousePressed(); the widget keeps Qt's
// default context-menu handling, so a window may use setContextMenuPolicy(Qt::CustomContextMenu)
// with customContextMenuRequested, or pop a QMenu up from mousePressed on the right button.

#include "common/DisplayPalette.h"
#include "display/Canvas.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

namespace mirel {

class DrawingSurface : public QWidget {
    Q_OBJECT

public:
    explicit DrawingSurface(QWidget* parent = nullptr);

    // The canvas that draws into image(); it lives as long as the surface.
    Canvas& canvas() { return canvas_; }

    // The picture as drawn so far, always of the widget's size (Format_RGB32, null while the
    // widget is empty); what the screen shows and what a saved picture holds.
    const QImage& image() const;

    // Colour of new pixels after a resize and of clear(); also the colour of the widget's
    // window role, so the window may match its own colour to it. Initially white.
    void setBackgroundColor(Rgb color);
    Rgb backgroundColor() const { return background_; }

    // Fills the whole picture with the background colour.
    void clear();

    // The box around what was drawn since the last paint (widget and picture coordinates): what
    // the next paint event copies to the screen. Empty when the screen is up to date.
    QRect pendingArea() const { return pending_; }

    QSize sizeHint() const override;

signals:
    // The picture has the new size of the widget and holds only the background colour.
    void resized();
    // A mouse button went down at `position` (widget and picture coordinates).
    void mousePressed(Qt::MouseButton button, QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // A hidden widget gets its resize event only when shown; until then the picture is brought
    // to the widget's size whenever it is drawn on or read.
    void fitImage() const;
    void newImage() const;
    void drawn(const QRect& area);

    mutable QImage image_;
    Canvas canvas_;
    Rgb background_ = 0xFFFFFF;
    QRect pending_;
};

}  // namespace mirel
