#pragma once

#include <QWidget>

namespace core {
class Forms;
}

// The open dialog: a URL or one or several local files. Its controls and routines come
// with the open dialog itself; for now it is the window whose life the main window rules.
class frmOpen : public QWidget {
    Q_OBJECT
public:
    // `owner` is the main window: the window stays above it and goes with it.
    frmOpen(core::Forms& forms, QWidget* owner);

    core::Forms& forms() const { return forms_; }

private:
    core::Forms& forms_;
};
