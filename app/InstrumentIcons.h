#pragma once
// The 26 × 26 pictures of the four instrument buttons, drawn in code.

#include <QPixmap>

namespace mirel {

QPixmap oscilloscopeIcon();
QPixmap spectrumIcon();
QPixmap densityIcon();
QPixmap statisticsIcon();

}  // namespace mirel
