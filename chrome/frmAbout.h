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
    explicit frmAbout(core::Forms& forms);

    core::Forms& forms() const { return forms_; }

private:
    core::Forms& forms_;
};
