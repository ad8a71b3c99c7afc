// CMainFrame: the state of the "Protect/Delete" group.
#include "main_frame.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include "paint_panel.h"

void CMainFrame::DoEnableProtectDelete()
{
    const bool enable = checkEnableMask->GetValue();
    // "Re&call Mask" follows the group even when nothing was stored: recalling then explains
    // that there is no mask of this size.
    for (wxWindow* control : std::initializer_list<wxWindow*>{
             sliderBrush, textBrushSize, radioProtect, radioDelete, radioErase, btnClearMask,
             btnStoreMask, btnRecallMask, btnSaveMask, btnLoadMask})
        control->Enable(enable);
    paintPanel->paintEnabled = enable;

    // While painting is on, the picture's size cannot be changed from the immediate controls.
    const bool sizeControls = pDP != nullptr && !enable;
    for (wxWindow* control :
         std::initializer_list<wxWindow*>{sliderWidth, spinWidth, sliderHeight, spinHeight})
        control->Enable(sizeControls);
}
