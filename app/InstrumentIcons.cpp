#include "app/InstrumentIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace mirel {

namespace {

constexpr int Side = 26;
const QColor Screen(0, 48, 0);
const QColor Trace(0, 230, 0);
const QColor TraceB(255, 60, 60);

// A small instrument screen: dark face, light bezel.
void beginScreen(QPainter& painter, QPixmap& pixmap)
{
    pixmap.fill(Qt::transparent);
    painter.begin(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(90, 90, 90), 1));
    painter.setBrush(Screen);
    painter.drawRoundedRect(QRectF(0.5, 0.5, Side - 1, Side - 1), 3, 3);
}

}  // namespace

QPixmap oscilloscopeIcon()
{
    QPixmap pixmap(Side, Side);
    QPainter painter;
    beginScreen(painter, pixmap);
    painter.setPen(QPen(QColor(0, 110, 0), 1, Qt::DotLine));
    painter.drawLine(3, 13, 23, 13);
    painter.drawLine(13, 3, 13, 23);
    QPainterPath sine;
    for (int x = 3; x <= 23; ++x) {
        const double y = 13 - 7 * std::sin((x - 3) * 2 * M_PI / 20);
        x == 3 ? sine.moveTo(x, y) : sine.lineTo(x, y);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Trace, 1.6));
    painter.drawPath(sine);
    painter.end();
    return pixmap;
}

QPixmap spectrumIcon()
{
    QPixmap pixmap(Side, Side);
    QPainter painter;
    beginScreen(painter, pixmap);
    const int heights[] = {4, 16, 7, 11, 5, 8, 3, 5, 2};
    painter.setPen(Qt::NoPen);
    painter.setBrush(Trace);
    for (int i = 0; i < 9; ++i)
        painter.drawRect(QRectF(3.5 + 2.2 * i, 22.5 - heights[i], 1.4, heights[i]));
    painter.end();
    return pixmap;
}

QPixmap densityIcon()
{
    QPixmap pixmap(Side, Side);
    QPainter painter;
    beginScreen(painter, pixmap);
    QPainterPath bell;
    for (int x = 3; x <= 23; ++x) {
        const double u = (x - 13) / 4.0;
        const double y = 22 - 17 * std::exp(-u * u / 2);
        x == 3 ? bell.moveTo(x, y) : bell.lineTo(x, y);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Trace, 1.6));
    painter.drawPath(bell);
    painter.setPen(QPen(QColor(0, 110, 0), 1));
    painter.drawLine(3, 23, 23, 23);
    painter.end();
    return pixmap;
}

QPixmap statisticsIcon()
{
    QPixmap pixmap(Side, Side);
    QPainter painter;
    beginScreen(painter, pixmap);
    // A pulse train with one faulty pulse, and a tally below it.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Trace, 1.4));
    QPainterPath pulses;
    pulses.moveTo(3, 12);
    for (int x = 3; x < 23; x += 5) {
        pulses.lineTo(x + 1, 12);
        pulses.lineTo(x + 1, 5);
        pulses.lineTo(x + 3, 5);
        pulses.lineTo(x + 3, 12);
    }
    pulses.lineTo(23, 12);
    painter.drawPath(pulses);
    painter.setPen(QPen(TraceB, 1.8));
    painter.drawLine(12, 4, 16, 9);
    painter.drawLine(16, 4, 12, 9);
    painter.setPen(QPen(Trace, 1.2));
    for (int x = 5; x <= 17; x += 3)
        painter.drawLine(x, 16, x, 22);
    painter.drawLine(4, 21, 19, 17);
    painter.end();
    return pixmap;
}

QPixmap transferIcon()
{
    QPixmap pixmap(Side, Side);
    QPainter painter;
    beginScreen(painter, pixmap);
    // A response above (flat, then rolling off) and its phase below.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Trace, 1.5));
    QPainterPath magnitude;
    magnitude.moveTo(3, 7);
    magnitude.lineTo(12, 7);
    magnitude.quadTo(16, 7, 22, 12);
    painter.drawPath(magnitude);
    painter.setPen(QPen(QColor(255, 200, 0), 1.2));
    QPainterPath phase;
    phase.moveTo(3, 16);
    phase.lineTo(10, 16);
    phase.quadTo(15, 16, 22, 22);
    painter.drawPath(phase);
    painter.end();
    return pixmap;
}

QPixmap generatorIcon(bool lost)
{
    constexpr int Small = 18;
    QPixmap pixmap(Small, Small);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    // The screen takes the left part; the arrow leaves it through its right edge.
    painter.setPen(QPen(QColor(90, 90, 90), 1));
    painter.setBrush(Screen);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 14, 17), 2, 2);
    QPainterPath sine;
    for (int x = 2; x <= 13; ++x) {
        const double y = 9 - 5 * std::sin((x - 2) * 2 * M_PI / 11);
        x == 2 ? sine.moveTo(x, y) : sine.lineTo(x, y);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(lost ? QColor(130, 130, 130) : Trace, 1.5));
    painter.drawPath(sine);
    const QColor arrow = lost ? TraceB : QColor(255, 200, 0);
    painter.setPen(QPen(arrow, 2));
    painter.drawLine(QPointF(9, 9), QPointF(14, 9));
    painter.setPen(Qt::NoPen);
    painter.setBrush(arrow);
    painter.drawPolygon(QPolygonF({QPointF(18, 9), QPointF(13, 4.5), QPointF(13, 13.5)}));
    painter.end();
    return pixmap;
}

}  // namespace mirel
