#include "display/PanelStyle.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

namespace mirel::panel {

void setTextStyle(QWidget* widget, const QColor& colour, bool bold)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::ButtonText, colour);
    p.setColor(QPalette::Text, colour);
    widget->setPalette(p);
    QFont f = widget->font();
    f.setBold(bold);
    widget->setFont(f);
}

void setPlainStyle(QWidget* widget)
{
    setTextStyle(widget, QGuiApplication::palette().color(QPalette::WindowText), false);
}

QLabel* label(const QString& text, QWidget* parent, int left, int top)
{
    auto* l = new QLabel(text, parent);
    l->move(left, top);
    return l;
}

QLabel* label(const QString& text, QWidget* parent, int left, int top, const QColor& colour, bool bold)
{
    QLabel* l = label(text, parent, left, top);
    setTextStyle(l, colour, bold);
    return l;
}

void fitToWidest(QLabel* label, const QStringList& captions)
{
    const QFontMetrics metrics(label->font());
    int width = 0;
    for (const QString& text : captions)
        width = std::max(width, metrics.horizontalAdvance(text));
    // The label's own frame and margins, and one pixel so that the last glyph's overhang shows.
    label->setFixedWidth(width + 2 * (label->frameWidth() + label->margin()) + std::max(label->indent(), 0) + 1);
}

QGroupBox* group(const QString& title, QWidget* parent, bool bold)
{
    auto* g = new QGroupBox(title, parent);
    setTextStyle(g, Navy, bold);
    return g;
}

QGroupBox* group(const QString& title, QWidget* parent, QRect geometry, bool bold)
{
    QGroupBox* g = group(title, parent, bold);
    g->setGeometry(geometry);
    return g;
}

QWidget* controlPanel(QWidget* parent, const char* name, int height)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setFixedHeight(height);
    panel->setAutoFillBackground(true);
    panel->setBackgroundRole(QPalette::Button);
    return panel;
}

QCheckBox* checkBox(QWidget* parent, const char* name, QPoint at, bool checked)
{
    auto* box = new QCheckBox(parent);
    box->setObjectName(name);
    box->move(at);
    box->setChecked(checked);
    return box;
}

QSlider* trackBar(QWidget* parent, const char* name, QRect geometry, int minimum, int maximum, int tick, int position)
{
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setGeometry(geometry);
    bar->setRange(minimum, maximum);
    bar->setTickInterval(tick);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setValue(position);
    return bar;
}

QSlider* shiftBar(QWidget* parent, const char* name, QRect geometry, int range, int tick, const QString& hint)
{
    QSlider* bar = trackBar(parent, name, geometry, -range, range, tick, 0);
    bar->setToolTip(hint);
    return bar;
}

QToolButton* zeroButton(QWidget* parent, const char* name, QPoint at, const QColor& colour, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText("0");
    button->setGeometry(at.x(), at.y(), 23, 22);
    button->setToolTip(hint);
    setTextStyle(button, colour, true);
    return button;
}

}  // namespace mirel::panel
