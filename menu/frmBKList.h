#pragma once

#include <QMenu>
#include <QStringList>
#include <QWidget>

namespace core {
class Forms;
}

// The hidden window that owns the popup command menu `mnu` and the store of the play list
// while the play-list window is not loaded. It is never shown.
//
// Every item of the menu forwards to a command of the main window or of the play-list
// window; only the always-on-top option is handled here. The captions carry the hot keys
// as text ("Ctrl+L" and so on): the keys are system-wide, the items have none of their own.
class frmBKList : public QWidget {
    Q_OBJECT
public:
    // `owner` is the main window: the window stays above it and goes with it.
    frmBKList(core::Forms& forms, QWidget* owner);

    core::Forms& forms() const { return forms_; }

    QMenu mnu;
    QAction* mnuShow;
    QAction* mnuCatch;
    QMenu* mnuPlayer;
    QAction* mnuOpen;
    QAction* munLine1;
    QAction* mnuPlay;
    QAction* mnuRiwind;
    QAction* mnuBack;
    QAction* munNext;
    QAction* mnuLine2;
    QAction* mnuExit;
    QMenu* mnuExe2Swf;
    QAction* mnuExtract56;
    QAction* mnuExtract7;
    QMenu* mnuOption;
    QAction* mnuOnTop;
    QAction* mnuAlpha;
    QMenu* mnuHelp;
    QAction* mnuAbout;
    QAction* mnuUpGrade;
    QMenu* Mnu2;
    QAction* mnuUp;
    QAction* mnuDown;
    QAction* mnuSort;

    // Pops `mnu` up with its top-left corner at `screen` (pixels); the chosen item's
    // command runs once the menu has closed.
    void PopupMenu(QPoint screen);

    // The check mark of the always-on-top item, which the secondary windows follow when
    // they load. It is off at every start and saved nowhere.
    bool OnTopChecked() const { return mnuOnTop->isChecked(); }
    void setOnTopChecked(bool checked) { mnuOnTop->setChecked(checked); }

    void mnuShow_Click();
    void mnuCatch_Click();
    void mnuOpen_Click();
    void mnuPlay_Click();
    void mnuRiwind_Click();
    void mnuBack_Click();
    void munNext_Click();
    void mnuExit_Click();
    void mnuExtract56_Click();
    void mnuExtract7_Click();
    void mnuOnTop_Click();
    void mnuAlpha_Click();
    void mnuAbout_Click();
    void mnuUpGrade_Click();
    void mnuUp_Click();
    void mnuDown_Click();
    void mnuSort_Click();

    // The play list while the play-list window is not loaded: the window copies it in when
    // it loads and back when it closes. Never shown.
    QStringList List1;
    // The value behind the play list's current index (frmList::CurSwf). It lives here
    // because it outlives the play-list window: closing the window does not reset it.
    int CurSwfValue = 0;

private:
    void Form_Load();
    void buildMenu();

    core::Forms& forms_;
};
