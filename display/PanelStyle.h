#pragma once
// The look of the control panels under the displays and of the launcher's toolbar: navy, green and
// maroon captions, bold group boxes, shift track bars with their zero buttons. One place, so every
// window's panel looks alike.

#include <QColor>
#include <QRect>
#include <QStringList>

class QCheckBox;
class QGroupBox;
class QLabel;
class QSlider;
class QToolButton;
class QWidget;

namespace mirel::panel {

inline const QColor Navy{0x00, 0x00, 0x80};
inline const QColor Green{0x00, 0x80, 0x00};
inline const QColor Maroon{0x80, 0x00, 0x00};

// Captions of `widget` (label text, group title, button text, edit text) in `colour`, bold or not.
void setTextStyle(QWidget* widget, const QColor& colour, bool bold);
// The usual text colour and weight, for the controls inside a coloured group.
void setPlainStyle(QWidget* widget);

// A label at (left, top), sized to its text.
QLabel* label(const QString& text, QWidget* parent, int left, int top);
QLabel* label(const QString& text, QWidget* parent, int left, int top, const QColor& colour, bool bold);
// Fixes the label's width to the widest of `captions` in its present font, so no caption it
// will show is cut.
void fitToWidest(QLabel* label, const QStringList& captions);

// A group box with a navy title (bold or not); its children keep their own style.
QGroupBox* group(const QString& title, QWidget* parent, bool bold);
QGroupBox* group(const QString& title, QWidget* parent, QRect geometry, bool bold);

// A horizontal panel of controls in the button-face colour, `height` pixels high.
QWidget* controlPanel(QWidget* parent, const char* name, int height);

// A check box without a caption at `at`.
QCheckBox* checkBox(QWidget* parent, const char* name, QPoint at, bool checked);

// A horizontal track bar over minimum … maximum at `position`, ticks below every `tick`.
QSlider* trackBar(QWidget* parent, const char* name, QRect geometry, int minimum, int maximum, int tick, int position);
// A horizontal shift track bar running −range … range from 0, ticks below every `tick`.
QSlider* shiftBar(QWidget* parent, const char* name, QRect geometry, int range, int tick, const QString& hint);
// The small bold "0" button beside a shift bar, in the channel's colour.
QToolButton* zeroButton(QWidget* parent, const char* name, QPoint at, const QColor& colour, const QString& hint);

}  // namespace mirel::panel
