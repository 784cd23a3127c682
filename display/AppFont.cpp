#include "display/AppFont.h"

namespace mirel {

namespace {
// DejaVu Sans covers Cyrillic and ships with every common Linux distribution; the style hint
// lets the font matcher fall back to another sans-serif face where it is missing.
constexpr const char* kFamily = "DejaVu Sans";
// 8 points at 96 dpi. Given in pixels so that layouts made in pixels hold on any screen density.
constexpr int kPixelSize = 11;
}  // namespace

QFont appFont()
{
    QFont font(QString::fromLatin1(kFamily));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kPixelSize);
    return font;
}

QFont displayFont(bool bold)
{
    QFont font = appFont();
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

}  // namespace mirel
