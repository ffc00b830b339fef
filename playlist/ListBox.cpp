#include "ListBox.h"

#include <algorithm>

namespace playlist {

ListBox::ListBox(QWidget* parent)
    : QListView(parent)
{
    setModel(&model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every line has the same height, so the view need not measure thirty thousand of them.
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { emit DblClick(); });
}

int ListBox::ListCount() const
{
    return model_.rowCount();
}

QString ListBox::List(int index) const
{
    if (index < 0 || index >= ListCount())
        return {};
    return model_.index(index).data().toString();
}

void ListBox::setList(int index, const QString& text)
{
    if (index < 0 || index >= ListCount())
        return;
    model_.setData(model_.index(index), text);
}

bool ListBox::AddItem(const QString& text)
{
    return AddItems({ text }) == 1;
}

int ListBox::AddItems(const QStringList& texts)
{
    const int first = ListCount();
    const int count = std::min<int>(texts.size(), MaxCount - first);
    if (count <= 0)
        return 0;
    // Filling an empty list is one step, however long the list.
    if (first == 0) {
        model_.setStringList(texts.first(count));
        return count;
    }
    model_.insertRows(first, count);
    for (int i = 0; i < count; ++i)
        model_.setData(model_.index(first + i), texts[i]);
    return count;
}

void ListBox::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount())
        return;
    model_.removeRows(index, 1);
}

void ListBox::Clear()
{
    model_.setStringList({});
    setListIndex(-1);
}

int ListBox::ListIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ListBox::setListIndex(int index)
{
    if (index < 0 || index >= ListCount()) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        return;
    }
    const QModelIndex entry = model_.index(index);
    selectionModel()->setCurrentIndex(entry, QItemSelectionModel::ClearAndSelect);
    scrollTo(entry);
}

} // namespace playlist
