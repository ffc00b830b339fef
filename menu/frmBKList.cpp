#include "frmBKList.h"

#include "core/Forms.h"

frmBKList::frmBKList(core::Forms& forms, QWidget* owner)
    : QWidget(owner, Qt::Window)
    , forms_(forms)
{
}
