#pragma once

#include <QWidget>

namespace core {
class Forms;
}

// The About window. Its labels, buttons and caption come with the About window itself;
// for now it is the window whose life the main window rules.
class frmAbout : public QWidget {
    Q_OBJECT
public:
    // `owner` is the main window: the window stays above it and goes with it.
    frmAbout(core::Forms& forms, QWidget* owner);

    core::Forms& forms() const { return forms_; }

private:
    core::Forms& forms_;
};
