#pragma once
// The 26 × 26 pictures of the instrument buttons and the 18 × 18 one of the generator's
// toggle, drawn in code.

#include <QPixmap>

namespace mirel {

QPixmap oscilloscopeIcon();
QPixmap spectrumIcon();
QPixmap densityIcon();
QPixmap statisticsIcon();
QPixmap transferIcon();
// A sine on a small screen with an arrow out of it; greyed, with a red arrow, while its output
// device is lost.
QPixmap generatorIcon(bool lost);

}  // namespace mirel
