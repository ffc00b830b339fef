#include "frmBKList.h"

#include "core/Forms.h"
#include "core/frmMain.h"

// Owned by the main window, as every secondary window is.
frmBKList::frmBKList(core::Forms& forms)
    : QWidget(&forms.main(), Qt::Window)
    , forms_(forms)
{
}
