#include "frmOpen.h"

#include "core/Forms.h"

frmOpen::frmOpen(core::Forms& forms, QWidget* owner)
    : QWidget(owner, Qt::Window)
    , forms_(forms)
{
    setWindowTitle(QStringLiteral("Open An Animation"));
}
