#pragma once

#include <QListWidget>
#include <QStringList>

// The texts of a list's items, top to bottom.
inline QStringList itemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}
