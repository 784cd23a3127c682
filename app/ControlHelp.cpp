#include "app/ControlHelp.h"

namespace mirel {

std::string controlsHelpText()
{
    return "  --set CONTROL=VALUE  a control by its name: track bars and up-down controls\n"
           "                     take a position, check boxes 0 or 1, radio buttons 1,\n"
           "                     combo boxes an item's text. Controls (ranges at 48 kHz):\n"
           "                     oscilloscope: cb1k cb2k 0/1, udAY udBY 0..11, tbAYShift\n"
           "                     tbBYShift -86..86, udX 0..12, tbXShift -208..208,\n"
           "                     cbSinchro (\"Нет\", \"Только канал A\", ...), cbRefInt 0/1;\n"
           "                     spectrum: cb1k cb2k 0/1, tbM1 tbM2 0..26, tbFn1 1..11,\n"
           "                     tbFv1 2..12, rbSpektrAmp rbSpektrMosch 1, tbAccuracy\n"
           "                     0..4; density: cb1k cb2k 0/1, tbVP1 tbVP2 1..200, rbPV\n"
           "                     rbNM 1, tbrps 1..10. A wrong name or value lists them\n"
           "                     with the ranges that hold at that moment.\n";
}

}  // namespace mirel
