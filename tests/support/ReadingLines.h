#pragma once
// What a graphical window's readings box says: its lines in one channel's colour, the cursor's
// lines, and the mouse moved over the display, for the readings tests of every instrument.

#include "windows/GraphicWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <string>
#include <vector>

namespace mirel::test {

// The box's lines in the colour of one channel, one after another.
inline std::string linesIn(GraphicWindow& window, TextColour colour)
{
    std::string text;
    for (const ReadingLine& line : window.Readings())
        if (line.Colour == colour)
            text += line.Text + "\n";
    return text;
}

// The texts of the value under the cursor.
inline std::vector<std::string> cursorTexts(GraphicWindow& window)
{
    std::vector<std::string> texts;
    for (const ReadingLine& line : window.CursorLines())
        texts.push_back(line.Text);
    return texts;
}

// The mouse moved to `at` over `surface`, as the display reports it.
inline void moveMouse(QWidget* surface, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, surface->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &move);
}

}  // namespace mirel::test
