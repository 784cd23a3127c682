#pragma once
// The controls a command line may set in an instrument window, found by their object names: track
// bars and up-down controls by position, check boxes and radio buttons by 0/1, combo boxes by
// item text. A value is set on the control itself, so that the window's own handler runs as after
// a user's change.

#include <QString>

class QWidget;

namespace mirel {

// Sets `control` of `window` to `value`; false when the window has no such control or the value is
// not one the control takes now, with `error` saying why and listing the controls with their values.
bool applySetting(QWidget* window, const QString& control, const QString& value, QString& error);

// A heading and one line per control that can be set, with the values it takes now: "  tbM1  0..25".
QString settableControlsText(QWidget* window);

}  // namespace mirel
