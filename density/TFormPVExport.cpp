// The density window's part in the save commands of its popup menu. The right click that opened
// the menu has frozen the picture; it is live again once the dialog is closed.
#include "density/TFormPV.h"

namespace mirel {

void TFormPV::RedrawForExport()
{
    ProcessData();
    ClearFon();
    PVPaint();
    XTextOut();
    AYTextOut();
    BYTextOut();
}

void TFormPV::AfterExport(bool)
{
    update();
    FormPaint();
    Live = true;
}

DataTable TFormPV::DisplayedData()
{
    return pv::ShownLevels(HistA, HistB, Normalised, ShowA, ShowB);
}

}  // namespace mirel
