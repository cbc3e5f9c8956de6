#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Prompter;

// The rules of the list load, save and delete dialog: the name in its box, the names it refuses,
// and the delete of a list with its database, tag and journal files.
class ListDialogActions
{
public:
    using ListCall = std::function<void(const QString& name)>;

    // What the dialog does after a button: close, and what its name box shows.
    struct Outcome
    {
        bool close = false;
        QString boxText;
    };

    ListDialogActions(QString dataDirectory, Prompter& prompter);

    // The text before its first ".", blanks trimmed at both ends.
    static QString normaliseName(const QString& text);
    // The saved lists of the data directory: every "*.lst" file name, by name.
    QStringList savedLists() const;
    // The files a list owns: its list file, database with the engine's companions, month tag.
    QStringList filesOf(const QString& name) const;

    // The action button: Save when its caption is "Save", Load otherwise.
    Outcome act(const QString& actionCaption, const QString& text, const ListCall& loadList, const ListCall& saveList);
    // The Delete button: after the question, removes the list's files; missing ones are skipped.
    Outcome remove(const QString& text);

    static const QString NoNameMessage;
    static const QString ReservedNameMessage;

private:
    bool refusedAsEmpty(const QString& name);
    // A name of several lines names no list: the user is told why.
    bool refusedAsLines(const QString& name);

    QString m_dataDirectory;
    Prompter& m_prompter;
};
