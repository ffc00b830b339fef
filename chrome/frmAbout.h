#pragma once

#include "chrome/ImageControl.h"
#include "chrome/LineControl.h"
#include "chrome/SecondaryForm.h"

#include <QLabel>

namespace core {
class Forms;
}

// The About window: the program's name and version in its caption, a credits paragraph
// and a note on playback limits. Closed by its OK button or its close button; dragged
// by its title bar, its icon or its white background (not by its labels).
class frmAbout : public chrome::SecondaryForm {
    Q_OBJECT
public:
    // `owner` is the main window: the window stays above it and goes with it.
    frmAbout(core::Forms& forms, QWidget* owner);

    QLabel lblDescription { this };
    QLabel Label1 { this };
    chrome::ImageControl ImgOK { this };
    chrome::LineControl Line1 { this, QColor(128, 128, 128) };
    chrome::LineControl Line2 { this, QColor(128, 128, 128) };
    chrome::LineControl Line3 { this, QColor(128, 128, 128) };
    chrome::GrabPoint FormGrab;

protected:
    void Unload() override;
    void mouseMoveEvent(QMouseEvent* event) override; // Form_MouseMove
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Form_Load();
};
