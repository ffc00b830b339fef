#include "frmBKList.h"

#include "chrome/WindowOrder.h"
#include "core/Forms.h"
#include "core/frmMain.h"
#include "platform/Platform.h"
#include "playlist/frmList.h"
#include "tools/mdlUpgrade.h"

namespace {

// An item of `menu` named `name`, whose triggering runs `handler` of `form`. The check
// mark of a checkable item is its handler's to set: Qt's own flip on triggering is undone
// first, so that the handler reads the mark as it stood when the item was chosen.
QAction* item(
    QMenu& menu, const char* name, const QString& caption, frmBKList& form, void (frmBKList::*handler)())
{
    QAction* action = menu.addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    QObject::connect(action, &QAction::triggered, &form, [&form, action, handler] {
        if (action->isCheckable())
            action->setChecked(!action->isChecked());
        (form.*handler)();
    });
    return action;
}

QMenu* submenu(QMenu& menu, const char* name, const QString& caption)
{
    QMenu* child = menu.addMenu(caption);
    child->setObjectName(QString::fromLatin1(name));
    child->menuAction()->setObjectName(QString::fromLatin1(name));
    return child;
}

QAction* separator(QMenu& menu, const char* name)
{
    QAction* line = menu.addSeparator();
    line->setObjectName(QString::fromLatin1(name));
    return line;
}

} // namespace

frmBKList::frmBKList(core::Forms& forms, QWidget* owner)
    : QWidget(owner, Qt::Window)
    , forms_(forms)
{
    setObjectName(QStringLiteral("frmBKList"));
    buildMenu();
    Form_Load();
}

void frmBKList::Form_Load()
{
    hide();
}

// The captions are the menu's own, blanks before "Ctrl+" included.
void frmBKList::buildMenu()
{
    using T = frmBKList;
    mnu.setObjectName(QStringLiteral("mnu"));
    mnuShow = item(mnu, "mnuShow", QStringLiteral("编辑播放列表...      Ctrl+L"), *this, &T::mnuShow_Click);
    mnuCatch
        = item(mnu, "mnuCatch", QStringLiteral("截取一帧             Ctrl+T"), *this, &T::mnuCatch_Click);

    mnuPlayer = submenu(mnu, "mnuPlayer", QStringLiteral("播放控制"));
    mnuOpen
        = item(*mnuPlayer, "mnuOpen", QStringLiteral("打开Flash动画... Ctrl+O"), *this, &T::mnuOpen_Click);
    munLine1 = separator(*mnuPlayer, "munLine1");
    mnuPlay
        = item(*mnuPlayer, "mnuPlay", QStringLiteral("播放|暂停        Ctrl+P"), *this, &T::mnuPlay_Click);
    mnuRiwind = item(*mnuPlayer, "mnuRiwind", QStringLiteral("重放"), *this, &T::mnuRiwind_Click);
    mnuBack
        = item(*mnuPlayer, "mnuBack", QStringLiteral("上一个           Ctrl+B"), *this, &T::mnuBack_Click);
    munNext
        = item(*mnuPlayer, "munNext", QStringLiteral("下一个           Ctrl+N"), *this, &T::munNext_Click);
    mnuLine2 = separator(*mnuPlayer, "mnuLine2");
    mnuExit = item(*mnuPlayer, "mnuExit", QStringLiteral("退出"), *this, &T::mnuExit_Click);

    mnuExe2Swf = submenu(mnu, "mnuExe2Swf", QStringLiteral("EXE转SWF"));
    mnuExtract56 = item(*mnuExe2Swf, "mnuExtract56", QStringLiteral("EXE转SWF（适用于Flash5、6）"), *this,
        &T::mnuExtract56_Click);
    mnuExtract7 = item(
        *mnuExe2Swf, "mnuExtract7", QStringLiteral("EXE转SWF（适用于Flash7）"), *this, &T::mnuExtract7_Click);

    mnuOption = submenu(mnu, "mnuOption", QStringLiteral("选项"));
    mnuOnTop = item(*mnuOption, "mnuOnTop", QStringLiteral("总在最前"), *this, &T::mnuOnTop_Click);
    mnuOnTop->setCheckable(true);
    // Translucency was never offered: the item stays hidden and disabled.
    mnuAlpha = item(*mnuOption, "mnuAlpha", QStringLiteral("半透明特效"), *this, &T::mnuAlpha_Click);
    mnuAlpha->setCheckable(true);
    mnuAlpha->setVisible(false);
    mnuAlpha->setEnabled(false);

    mnuHelp = submenu(mnu, "mnuHelp", QStringLiteral("帮助"));
    mnuAbout = item(*mnuHelp, "mnuAbout", QStringLiteral("关于..."), *this, &T::mnuAbout_Click);
    mnuUpGrade
        = item(*mnuHelp, "mnuUpGrade", QStringLiteral("自动下载新版播放器"), *this, &T::mnuUpGrade_Click);

    // The play list's ordering commands, kept under an inactive entry that never shows.
    Mnu2 = submenu(mnu, "Mnu2", QString());
    Mnu2->menuAction()->setVisible(false);
    Mnu2->menuAction()->setEnabled(false);
    mnuUp = item(*Mnu2, "mnuUp", QStringLiteral("上移"), *this, &T::mnuUp_Click);
    mnuDown = item(*Mnu2, "mnuDown", QStringLiteral("下移"), *this, &T::mnuDown_Click);
    mnuSort = item(*Mnu2, "mnuSort", QStringLiteral("按名称排序"), *this, &T::mnuSort_Click);
}

// A triggered item hides the whole menu before its signal runs the handler, so a handler
// that shows a window or a message finds the menu gone.
void frmBKList::PopupMenu(QPoint screen)
{
    mnu.popup(screen);
}

void frmBKList::mnuShow_Click()
{
    forms_.main().ShowPlayListWindowAni();
}
void frmBKList::mnuCatch_Click()
{
    forms_.main().CatchFrame();
}
void frmBKList::mnuOpen_Click()
{
    forms_.main().OpenAni();
}
void frmBKList::mnuPlay_Click()
{
    forms_.main().PlayAni();
}
void frmBKList::mnuRiwind_Click()
{
    forms_.main().RewindAni();
}
void frmBKList::mnuBack_Click()
{
    forms_.main().BackAni();
}
void frmBKList::munNext_Click()
{
    forms_.main().NextAni();
}
void frmBKList::mnuExit_Click()
{
    forms_.main().ExitAni();
}
void frmBKList::mnuExtract56_Click()
{
    forms_.main().Extract(6);
}
void frmBKList::mnuExtract7_Click()
{
    forms_.main().Extract(7);
}

// Only the main window changes here; the secondary windows consult the check mark when
// they load.
void frmBKList::mnuOnTop_Click()
{
    const bool onTop = !mnuOnTop->isChecked();
    mnuOnTop->setChecked(onTop);
    mdlCommonFunctions::SetTopMost(forms_.platform().windowManager(), forms_.main(), onTop);
}

// Flips its own check mark; nothing reads it.
void frmBKList::mnuAlpha_Click()
{
    mnuAlpha->setChecked(!mnuAlpha->isChecked());
}

void frmBKList::mnuAbout_Click()
{
    forms_.main().ShowAbout();
}
void frmBKList::mnuUpGrade_Click()
{
    mdlUpgrade::Upgrade(forms_.main());
}
void frmBKList::mnuUp_Click()
{
    forms_.list.get().ItemUp();
}
void frmBKList::mnuDown_Click()
{
    forms_.list.get().ItemDown();
}
void frmBKList::mnuSort_Click()
{
    forms_.list.get().SortItem();
}
