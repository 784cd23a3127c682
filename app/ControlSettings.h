#pragma once
// The controls a command line may set in an instrument window, found by their object names: track
// bars and up-down controls by position or by the value in units that a position shows ("0.2ms",
// "6кГц"), check boxes and radio buttons by 0/1, combo boxes by item text. A value is set on the
// control itself, so that the window's own handler runs as after a user's change.

#include <QString>

class QWidget;

namespace mirel {

// Sets `control` of `window` to `value`; false when the window has no such control or the value is
// not one the control takes now, with `error` saying why and listing the controls with their values
// (Russian, as the windows' texts).
bool applySetting(QWidget* window, const QString& control, const QString& value, QString& error);

// A heading and one entry per control that can be set (channels A and B that take the same values
// together), by name and caption, with the values it takes now and what each position means at the
// window's present size, rate and spectrum kind: "  tbAccuracy «Точность»: 0..4; 0 = 2048 точек, …".
QString settableControlsText(QWidget* window);

}  // namespace mirel
