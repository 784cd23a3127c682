#pragma once
// The oscilloscope's automatic measurements of one channel over the whole captured block:
// frequency and period, maximum, minimum, peak-to-peak, mean and RMS, and their readout lines.

#include "common/ExportText.h"
#include "common/ValueFormat.h"
#include "oscilloscope/OscBlock.h"

#include <vector>

namespace mirel::osc {

enum class Channel { A, B };

// Volts at full scale 1 V, as the traces and the saved samples read a sample (s / 32768).
struct ChannelReadings {
    bool HasFrequency = false;  // two rising crossings or more; otherwise Frequency and Period are 0
    double Frequency = 0;       // Hz
    double Period = 0;          // s
    double Max = 0;
    double Min = 0;
    double PeakToPeak = 0;
    double Mean = 0;
    double Rms = 0;  // of the whole signal, its mean included
};

// The rules, chosen so that a steady wave reads the same whatever part of it the block holds:
// - Maximum and minimum are the extreme samples. Where the extreme is a crest (both neighbours
//   lower or level, neither lower by more than a quarter of the peak-to-peak) it is refined by the
//   parabola through it and its neighbours: a sine's extreme sample may miss its crest by half a
//   sample, 5 % of the amplitude at ten samples a period; the parabola leaves less than 0.5 % up to
//   a tenth of the sample rate. An edge (a square wave's) is steeper than that and stays unrefined.
// - Crossings: the level is the middle of the range, (maximum + minimum) / 2, which is the zero of
//   the signal with its DC offset taken out and, unlike the mean of a block that ends inside a
//   period, the same in every block; for pulses it is half their height, where the edges are
//   steepest. A rising crossing needs the signal to come from below the level minus a hysteresis of
//   5 % of the peak-to-peak (at least 2 steps of the 16-bit sample), and counts once it has risen to
//   the level plus the hysteresis, so noise around the level makes no false crossings; its time is
//   the last step through the level before that, interpolated linearly between the two samples.
// - Frequency: the whole periods between the first and the last crossing, over their time; none
//   with fewer than two crossings.
// - Mean and RMS over those whole periods, to a fraction of a sample at either end (each sample
//   standing for the frame around it), so that a part period adds no error; over the whole block
//   when there is no frequency.
// No allocation: the block is read in two passes.
ChannelReadings MeasureChannel(const BlockView& block, Channel channel, int sampleRate);

// The readout of one channel: «Частота», «Период», «Макс.», «Мин.», «Размах», «Среднее», «СКЗ»,
// values in the units of the display's labels (Гц/кГц, с/мс/мкс, В/мВ); «—» for a frequency and a
// period that could not be measured.
std::vector<ReadingText> ReadingLines(const ChannelReadings& readings);

// The readings as a row of measured values: no frequency and period when they were not measured.
MeasuredValues ToMeasuredValues(const ChannelReadings& readings);

}  // namespace mirel::osc
