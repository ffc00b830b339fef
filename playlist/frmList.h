#pragma once

#include "chrome/ImageControl.h"
#include "chrome/LineControl.h"
#include "chrome/SecondaryForm.h"

#include <QListWidget>

namespace core {
class Forms;
}

// The play-list window, owner of the play list while it is loaded. It wears the frame of
// the secondary windows and its eleven command buttons; the list and the commands behind
// the buttons come with the play list.
class frmList : public chrome::SecondaryForm {
    Q_OBJECT
public:
    // `owner` is the main window: the window stays above it and goes with it.
    frmList(core::Forms& forms, QWidget* owner);

    chrome::ImageControl ImgAdd { this };
    chrome::ImageControl ImgDel { this };
    chrome::ImageControl ImgDelAll { this };
    chrome::ImageControl ImgUp { this };
    chrome::ImageControl ImgDown { this };
    chrome::ImageControl ImgSort { this };
    chrome::ImageControl ImgOK { this };
    chrome::ImageControl ImgCol { this };
    chrome::ImageControl ImgLoad { this };
    chrome::ImageControl ImgSave { this };
    chrome::ImageControl ImgPlay { this };
    chrome::LineControl Line1 { this, QColor(128, 128, 128) };
    chrome::LineControl Line2 { this, QColor(128, 128, 128) };
    chrome::LineControl Line3 { this, QColor(128, 128, 128) };
    // The play list's entries, one full path each, while the window is loaded.
    QListWidget List1 { this };

    // The play list's commands. They come with the play list itself; until then these
    // are empty hooks that the buttons already run.
    void AddItems() { }
    void DelItem() { }
    void ClearList() { }
    void ItemUp() { }
    void ItemDown() { }
    void SortItem() { }
    void CollectItems() { }
    void LoadList() { }
    void SaveList() { }
    void PlaySelAni() { }

protected:
    void Unload() override;

private:
    void Form_Load();
};
