#pragma once

#include "playlist/ListBox.h"

#include <QStringList>

// The entries of the play-list window's list box, in order.
inline QStringList entriesOf(const playlist::ListBox& list)
{
    return list.entries();
}

// The hidden store's entries.
inline QStringList entriesOf(const QStringList& store)
{
    return store;
}
