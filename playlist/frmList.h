#pragma once

#include <QWidget>

namespace core {
class Forms;
}

// The play-list window, owner of the play list while it is loaded. Its list and buttons
// come with the play list; for now it is the window whose life the main window rules.
class frmList : public QWidget {
    Q_OBJECT
public:
    // `owner` is the main window: the window stays above it and goes with it.
    frmList(core::Forms& forms, QWidget* owner);

    core::Forms& forms() const { return forms_; }

private:
    core::Forms& forms_;
};
