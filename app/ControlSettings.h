#pragma once
// The controls a command line may set in an instrument window, found by their object names: track
// bars and up-down controls by position, check boxes and radio buttons by 0/1, combo boxes by
// item text. A value is set on the control itself, so that the window's own handler runs as after
// a user's change.

#include <QString>

class QWidget;

namespace mirel {

// Sets `control` of `window` to `value`; false and the reason in `error` when the window has no such
// control or the value is not one the control takes now.
bool applySetting(QWidget* window, const QString& control, const QString& value, QString& error);

// One line per control that can be set, with the values it takes now: "  tbM1  0..25".
QString settableControls(QWidget* window);

}  // namespace mirel
