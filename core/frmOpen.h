#pragma once

#include "chrome/ImageControl.h"
#include "chrome/LineControl.h"
#include "chrome/SecondaryForm.h"

#include <QLabel>
#include <QLineEdit>

#include <memory>

namespace core {
class Forms;
}

namespace platform {
class FileDialog;
}

// The open dialog: the user types the URL of a movie or picks one or several local
// files. One URL or one file is loaded at once; several files replace the play list and
// the first of them is loaded. It wears the frame of the secondary windows.
class frmOpen : public chrome::SecondaryForm {
    Q_OBJECT
public:
    // `owner` is the main window: the window stays above it and goes with it.
    frmOpen(core::Forms& forms, QWidget* owner);
    ~frmOpen() override;

private:
    // Owns CmdD1; declared before the public controls so that it exists when they are bound.
    std::unique_ptr<platform::FileDialog> fileDialog_;

public:
    chrome::ImageControl ImgOpen { this };
    chrome::ImageControl ImgOK { this };
    chrome::ImageControl ImgExit { this };
    chrome::LineControl Line1 { this, QColor(192, 192, 192) };
    chrome::LineControl Line2 { this, QColor(128, 128, 128) };
    chrome::LineControl Line3 { this, QColor(128, 128, 128) };
    QLabel Label1 { QStringLiteral("URL:"), this };
    QLineEdit Txt1 { this }; // the URL, starting with the movie shown
    platform::FileDialog& CmdD1;

    // Chooses one or several local files. One file is loaded; several replace the play
    // list and the first is loaded. A cancelled choice leaves the dialog open.
    void BrowseFiles();
    // Loads the URL as typed, or asks for one when the box is empty.
    void OpenURL();
    // Unloads the dialog; nothing is loaded.
    void CloseDialog();

protected:
    void Unload() override;
    void closeByFrame() override { CloseDialog(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Txt1_GotFocus();
};
