// The spectrum analyser's part in the save commands of its popup menu. The right click that
// opened the menu has frozen the display; it is live again once the dialog is closed.
#include "spectrum/TFormSP.h"

#include "spectrum/LevelAxis.h"

namespace mirel {

void TFormSP::RedrawForExport()
{
    ClearFon();
    ProcessData();
    SPPaint();
}

void TFormSP::AfterExport(bool saved)
{
    if (saved)
        ClearFon();
    SPPaint();
    Live = true;
}

DataTable TFormSP::DisplayedData()
{
    DataTable table = pass_.ShownLevels(SamplesA, SamplesB, passSettings());
    if (View.Decibels)
        for (std::size_t c = 1; c < table.size(); ++c) {
            table[c].Unit = AmplitudeMode ? "дБВ" : "дБВт";
            for (double& value : table[c].Values)
                value = spectrum::LevelDb(value, AmplitudeMode);
        }
    return table;
}

}  // namespace mirel
