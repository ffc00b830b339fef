#pragma once

#include <QListWidget>
#include <QStringList>

// The entries of a list box, in order.
inline QStringList entriesOf(const QListWidget& list)
{
    QStringList entries;
    for (int i = 0; i < list.count(); ++i)
        entries << list.item(i)->text();
    return entries;
}
