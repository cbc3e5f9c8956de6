#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The small text files of the program: lines ended by CR LF, written whole or not at all
// (platform/AtomicFile.h), so a failed write never leaves a partial file behind.
namespace textlines {

QByteArray compose(const QStringList& lines);
// False, and nothing written, when a line holds a line break: it would end its line and the rest
// would be read as a line of its own. A file that cannot be written leaves the cause in reason.
bool writeAtomically(const QString& path, const QStringList& lines, QString* reason = nullptr);
// The most a file of lines may hold: a list of some hundred thousand directories.
constexpr qint64 MaxBytes = 32 * 1024 * 1024;
// The lines of a file (CR LF, LF or a lone CR end a line); nullopt when it cannot be read, is not
// a regular file or holds more than maxBytes (platform/WholeFile.h), with the cause in reason.
std::optional<QStringList> read(const QString& path, qint64 maxBytes = MaxBytes, QString* reason = nullptr);
// Blanks (not other white space) trimmed from both ends.
QString trimBlanks(const QString& text);
// True when the text holds a line feed or a carriage return: written on a line of one of these
// files it would end that line and begin another.
bool holdsLineBreak(const QString& text);
// What the user is told of texts refused because they hold a line break: the reason, a blank
// line, then each text on a line of its own with its line breaks shown as "↵".
QString lineBreakRefusal(const QString& reason, const QStringList& texts);
// The reason for a text of a box whose value stands on a line of the settings file: "This "
// what " was not taken: ...".
QString settingLineBreakReason(const QString& what);

} // namespace textlines
