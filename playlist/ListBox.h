#pragma once

#include "Limits.h"

#include <QListView>
#include <QStringList>
#include <QStringListModel>

namespace playlist {

// The list box of the play-list window: one line of text per entry, in the order the
// entries were appended or arranged, with at most one entry selected. Counts and indices
// are those of a 16-bit list box: it holds at most MaxCount entries, and an append beyond
// that is refused, leaving the list as it was.
//
// The view draws only the lines on screen, so a full list costs no more to show than a
// short one.
class ListBox : public QListView {
    Q_OBJECT
public:
    static constexpr int MaxCount = MaxEntries;

    explicit ListBox(QWidget* parent);

    int ListCount() const;
    // The entry at `index`; empty text outside the list.
    QString List(int index) const;
    // Replaces the text of the entry at `index`; nothing outside the list.
    void setList(int index, const QString& text);

    // Appends at the end; false, with nothing appended, when the list is full.
    bool AddItem(const QString& text);
    // Appends as many of `texts` as fit, in order; returns how many did.
    int AddItems(const QStringList& texts);
    // Removes the entry at `index`; nothing outside the list.
    void RemoveItem(int index);
    // Removes every entry; nothing is selected afterwards.
    void Clear();

    // The selected entry, -1 when none is.
    int ListIndex() const;
    // Selects the entry at `index` and scrolls to show it; -1 (or any index outside the
    // list) leaves nothing selected.
    void setListIndex(int index);

    // Every entry, in order.
    QStringList entries() const { return model_.stringList(); }

signals:
    // A double click on an entry, after the click has selected it.
    void DblClick();

private:
    QStringListModel model_;
};

} // namespace playlist
