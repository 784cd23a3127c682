// The oscilloscope's part in the save commands of its popup menu. The right click that opened the
// menu has frozen the sweep; one click on the sweep-mode button after the dialog resumes it.
#include "oscilloscope/TFormOS.h"

#include <QToolButton>

namespace mirel {

void TFormOS::RedrawForExport()
{
    ProcessData();
    ClearFon();
    OscillPaint();
}

void TFormOS::AfterExport(bool)
{
    update();
    sbtnRazv->click();
}

DataTable TFormOS::DisplayedData()
{
    // Without a capture no trace is drawn, so there is nothing but the header.
    const osc::BlockView shown = Running ? BlockCopy.View() : osc::BlockView();
    return osc::ShownSamples(shown, triggers_, geometry_, traceScales(), SampleRate);
}

}  // namespace mirel
