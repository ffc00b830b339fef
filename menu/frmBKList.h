#pragma once

#include <QWidget>

namespace core {
class Forms;
}

// The hidden window that owns the popup command menu and the store of the play list while
// the play-list window is not loaded. It is never shown. The menu and the store come
// later; for now it is the window whose life the main window rules.
class frmBKList : public QWidget {
    Q_OBJECT
public:
    // `owner` is the main window: the window stays above it and goes with it.
    frmBKList(core::Forms& forms, QWidget* owner);

    core::Forms& forms() const { return forms_; }

    // The check mark of the always-on-top item `mnuOnTop`, which the secondary windows
    // follow when they load. It is off at every start; the menu that sets it comes with
    // the command menu.
    bool OnTopChecked() const { return onTopChecked_; }
    void setOnTopChecked(bool checked) { onTopChecked_ = checked; }

private:
    core::Forms& forms_;
    bool onTopChecked_ = false;
};
