#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

// The program's own files (settings, lists, tags, state files, the template) are read whole, and
// only when they are regular files of a bounded size: a FIFO, a device or a directory put in the
// place of one would block the program in its open or feed it without end.
namespace wholefile {

// What the user is told of something other than a regular file standing where one of these
// files should be.
QString notAFileText();
// True when the name is there at all, a link that leads nowhere or into a loop included: such a
// name is to be refused when it is read, never taken as missing and written over.
bool present(const QString& path);
// What the user is told of a link whose target is gone or whose links go round, with the cause;
// empty when the path is no such link.
QString brokenLinkText(const QString& path);
// The bytes of a regular file of at most maxBytes; nullopt when it cannot be read, is not a
// regular file or is larger, with the cause in reason. Never waits on a FIFO or a device.
std::optional<QByteArray> read(const QString& path, qint64 maxBytes, QString* reason = nullptr);

} // namespace wholefile
