#pragma once

#include "chrome/ImageControl.h"
#include "chrome/LineControl.h"
#include "chrome/SecondaryForm.h"

namespace core {
class Forms;
}

// The open dialog: a URL or one or several local files. It wears the frame of the
// secondary windows and its three buttons; the URL box and the commands that open
// movies come with the open dialog itself.
class frmOpen : public chrome::SecondaryForm {
    Q_OBJECT
public:
    // `owner` is the main window: the window stays above it and goes with it.
    frmOpen(core::Forms& forms, QWidget* owner);

    chrome::ImageControl ImgOpen { this };
    chrome::ImageControl ImgOK { this };
    chrome::ImageControl ImgExit { this };
    chrome::LineControl Line1 { this, QColor(192, 192, 192) };
    chrome::LineControl Line2 { this, QColor(128, 128, 128) };
    chrome::LineControl Line3 { this, QColor(128, 128, 128) };

    // Choosing files and opening the URL come with the open dialog; until then the
    // buttons run these empty hooks.
    void BrowseFiles() { }
    void OpenURL() { }
    // Unloads the dialog; nothing is loaded.
    void CloseDialog();

protected:
    void Unload() override;
    void closeByFrame() override { CloseDialog(); }

private:
    void Form_Load();
};
