#pragma once

#include "session/MainSettings.h"

#include <QDate>
#include <QString>
#include <optional>

class Prompter;

// The directory list files data/<list>.lst and the month tags data/<db>.lcd.
class ListFiles
{
public:
    ListFiles(QString programDirectory, Prompter& prompter);

    QString dataDirectory() const; // ends in "/"
    QString listFilePath(const QString& name) const;
    QString tagFilePath(const QString& db) const;

    // SaveList: writes the list of settings under name and names the list so; creates the month
    // tag when there is none. False (after its message) when nothing was named, or when the name,
    // an entry or the IFCD holds a line break, which no line of the file can take: the file
    // stays as it was.
    bool saveList(const QString& name, MainSettings& settings) const;
    // LoadList: replaces the list, the IFCD and the tree mode by the file's. A list that cannot be
    // read leaves the settings as they were.
    bool loadList(const QString& name, MainSettings& settings) const;

    // The month tag line: the month with one blank either side.
    static QString monthTagLine(int month);
    bool writeMonthTag(const QString& db, const QDate& today) const;
    // The trimmed first line of the tag; nullopt when it cannot be read, with the cause in reason.
    std::optional<QString> readMonthTag(const QString& db, QString* reason = nullptr) const;

    // A list name that cannot name a file inside the data directory.
    static bool isUnsafeName(const QString& name);
    // The file's lines for a list.
    static QStringList listFileLines(const MainSettings& settings);

private:
    bool ensureDataDirectory() const;

    QString m_programDirectory;
    Prompter& m_prompter;
};
