#include "SecondaryForm.h"

#include "chrome/ImageButton.h"
#include "chrome/WindowOrder.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "menu/frmBKList.h"
#include "platform/Platform.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace chrome {

SecondaryForm::SecondaryForm(core::Forms& forms, QWidget* owner, const Frame& frame)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
    , forms_(forms)
{
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setFixedSize(platform::twipsToPixels(frame.width), platform::twipsToPixels(frame.height));

    ImgBar1.setStretch(true);
    ImgBar1.setLeft(0);
    ImgBar1.setTop(0);
    ImgBar1.setSize(frame.barWidth, 375);
    ImgIco.setLeft(frame.icoLeft);
    ImgIco.setTop(frame.icoTop);
    ImgEnd.setLeft(frame.endLeft);
    ImgEnd.setTop(frame.endTop);
    ImgEnd.setToolTip(QStringLiteral("退出"));

    connect(&ImgBar1, &ImageControl::MouseMove, this,
        [this](int Button, int, float X, float Y) { dragWindow(windows(), *this, BarGrab, Button, X, Y); });
    connect(&ImgIco, &ImageControl::MouseMove, this,
        [this](int Button, int, float X, float Y) { dragWindow(windows(), *this, IcoGrab, Button, X, Y); });
    connect(&ImgBar1, &ImageControl::MouseUp, this, [this] { endDrag(BarGrab); });
    connect(&ImgIco, &ImageControl::MouseUp, this, [this] { endDrag(IcoGrab); });
    // The close button shows its pressed picture on the release as well: the window goes.
    wireButton(ImgEnd, 119, 119, [this] { closeByFrame(); });
}

platform::WindowManager& SecondaryForm::windows() const
{
    return forms_.platform().windowManager();
}

// The option is the check mark of a menu item; before the menu was ever loaded it is off.
void SecondaryForm::followTopMostOption()
{
    const frmBKList* menu = forms_.bkList.loaded();
    mdlCommonFunctions::SetTopMost(windows(), *this, menu && menu->OnTopChecked());
}

void SecondaryForm::Form_Unload()
{
    mdlCommonFunctions::BringFormToTop(windows(), forms_.main());
}

void SecondaryForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (placed_ || event->spontaneous())
        return;
    placed_ = true;
    if (const QWidget* owner = parentWidget())
        move(owner->geometry().center() - rect().center());
}

void SecondaryForm::closeEvent(QCloseEvent* event)
{
    Unload();
    event->accept();
}

} // namespace chrome
