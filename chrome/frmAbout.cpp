#include "frmAbout.h"

#include "core/Forms.h"

frmAbout::frmAbout(core::Forms& forms, QWidget* owner)
    : QWidget(owner, Qt::Window)
    , forms_(forms)
{
}
