#pragma once
// The key filter of the number boxes: whether a key press types a character the box refuses.

#include <QKeyEvent>

namespace mirel {

// True when `event` is a key press that types a printable character `allowed` refuses. Editing and
// moving keys (Backspace, Delete, Tab, arrows) and shortcuts such as paste type no character and
// pass.
inline bool RefusedCharacter(const QEvent* event, bool (*allowed)(char32_t))
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    const QString text = key->text();
    return !text.isEmpty() && text.at(0).isPrint() && !(key->modifiers() & Qt::ControlModifier) &&
           !allowed(static_cast<char32_t>(text.at(0).unicode()));
}

}  // namespace mirel
