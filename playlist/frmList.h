#pragma once

#include "chrome/ImageControl.h"
#include "chrome/LineControl.h"
#include "chrome/SecondaryForm.h"
#include "playlist/ListBox.h"

#include <QStringList>

#include <memory>

namespace core {
class Forms;
}

namespace platform {
class FileDialog;
}

class frmBKList;

// The play-list window, owner of the play list while it is loaded: the entries in its list
// box List1, the selection, and the operations on them. It wears the frame of the
// secondary windows and its eleven command buttons.
//
// Any use of the play list loads the window, hidden when it is not shown, and loading
// copies the entries in from the hidden store of frmBKList; closing copies them back.
// The current index lives beside the store, so that it outlives the window.
class frmList : public chrome::SecondaryForm {
    Q_OBJECT
public:
    // `owner` is the main window: the window stays above it and goes with it.
    frmList(core::Forms& forms, QWidget* owner);
    ~frmList() override;

private:
    // Owns CmdD1; declared before the public controls so that it exists when they are bound.
    std::unique_ptr<platform::FileDialog> fileDialog_;

public:
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
    playlist::ListBox List1 { this };
    platform::FileDialog& CmdD1;

    // The current index. Reading clamps the stored value to 0 .. entry count (so it may be
    // one past the last entry); writing takes only 0 <= value < entry count, stores it and
    // selects that entry, and otherwise changes nothing.
    int CurSwf() const;
    void setCurSwf(int value);

    // Makes the selection the current index and loads the selected entry; nothing on an
    // empty list, and nothing is loaded without a selection.
    void PlaySelAni();
    // Move the selected entry one place up or down; the selection follows it.
    void ItemUp();
    void ItemDown();
    // Removes the selected entry; the entry that takes its place is selected.
    void DelItem();
    // Removes every entry; the current index goes back to 0.
    void ClearList();
    // Sorts the entries (SortStrings); nothing stays selected.
    void SortItem();
    // Appends the files the user picks in a file dialog.
    void AddItems();
    // Appends the movies of a folder the user picks and loads the first entry.
    void CollectItems();
    // Replaces the entries by those of a list file and loads the first entry.
    void LoadList();
    // Writes the entries to a list file.
    void SaveList();

    // Appending from elsewhere (the open dialog, dropped files): `paths` go to the end of
    // the list in order, as many as fit; the user is told when some did not. The
    // selection and the current index stay as they were. Returns how many were appended.
    int appendEntries(const QStringList& paths);

    // The closing steps: the entries go back to the hidden store.
    void Form_Unload() override;

protected:
    void Unload() override;

private:
    void Form_Load();
    void load(const QString& entry);
    void tellListFull(qsizetype refused);
    // The stored current index; 0 while the store has never been made.
    int storedCurSwf() const;
    void setStoredCurSwf(int value);
    // The window messages belong to: this one when shown, otherwise the main window.
    QWidget* messageOwner();
};
