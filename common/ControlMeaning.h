#pragma once
// What the positions of an instrument's controls mean: each control's caption on its panel and,
// per position, the value with its unit that the panel shows, so that a position can be named by
// that value and a list can explain every position.

#include <string>
#include <vector>

namespace mirel {

// Whether a value in units stands for one division of the scale ("0.5 В/дел").
enum class PerDivision { Never, Always, Optional };

// One value in units that selects a position.
struct UnitValue {
    double Value = 0;  // in Unit, without a prefix
    std::string Unit;  // "В", "Вт", "с", "Гц", or "" for a number without a unit
    PerDivision Per = PerDivision::Never;
};

struct PositionMeaning {
    int Position = 0;
    std::string Text;  // as the panel shows it: "0.5 В/дел", "6 кГц"
    std::vector<UnitValue> Values;
};

struct ControlMeaning {
    std::string Name;     // the control's object name: "udAY"
    std::string Caption;  // as the panel shows it: "Масштаб A"
    // The unit of a number written without one that is no position ("Гц": tbFv1=6000); empty
    // when such a number is no value of this control.
    std::string BareUnit;
    std::vector<PositionMeaning> Positions;  // empty: a position means nothing beyond itself
};

using ControlTable = std::vector<ControlMeaning>;

}  // namespace mirel
