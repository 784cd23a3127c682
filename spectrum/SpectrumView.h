#pragma once
// The analyser's audio-grade view: level in decibels, a logarithmic frequency axis, the window
// function, averaging and peak hold. Each setting at its default leaves the display as the plain
// analyser draws it: linear levels and frequencies of a rectangular block, one block at a time.
// The spectrogram shows the spectrum over time instead of the curve, with the same band and axis.

#include "spectrum/ColourMaps.h"

namespace mirel::spectrum {

enum class WindowKind { Rectangular, Hann, BlackmanHarris, FlatTop };

struct ViewSettings {
    bool Decibels = false;  // 20·lg of the amplitude re 1 V (dBV), 10·lg of the power re 1 W (dBW)
    int TopDb = 0;          // the top of the dB scale: 0, 10 or 20
    int SpanDb = 100;       // the scale's height: 60, 80, 100 or 120 dB
    bool LogFrequency = false;
    WindowKind Window = WindowKind::Rectangular;
    int Averaging = 1;  // blocks of the exponential power average: 1 (off), 4, 16 or 64
    bool PeakHold = false;
    bool Spectrogram = false;
    int LinesPerSecond = 50;  // the spectrogram's lines: 10, 25, 50 or 100 a second
    ColourMap Map = ColourMap::Viridis;

    bool operator==(const ViewSettings&) const = default;
};

}  // namespace mirel::spectrum
