#pragma once

#include <QString>
#include <QStringList>

// The command line: an optional list name before the first "/", and the switch "/GATHER".
struct CommandLine
{
    QString text; // everything after the program name
    QString listName; // empty: load no list
    bool gather = false;

    bool isEmpty() const { return text.isEmpty(); }

    static CommandLine parse(const QString& text);
    // The text after the program name, from the arguments the program was started with.
    static QString fromArguments(const QStringList& arguments);
    // "--help" or "-h" among the arguments after the program name: the usage is printed and the program
    // ends, before any window, lock or file.
    static bool helpRequested(const QStringList& arguments);
    static QString usage();
};
