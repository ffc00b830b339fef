#include "frmList.h"

#include "core/Forms.h"

frmList::frmList(core::Forms& forms, QWidget* owner)
    : QWidget(owner, Qt::Window)
    , forms_(forms)
{
    setWindowTitle(QStringLiteral("Play List"));
}
