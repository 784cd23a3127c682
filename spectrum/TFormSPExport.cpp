// The spectrum analyser's part in the save commands of its popup menu. The right click that
// opened the menu has frozen the display; it is live again once the dialog is closed.
#include "spectrum/TFormSP.h"

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
    return pass_.ShownLevels(SamplesA, SamplesB, passSettings());
}

}  // namespace mirel
