#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Every file the program writes goes through here and reaches the disk whole or not at all: the
// bytes go to a new file beside the target, every write and the sync to the disk are checked,
// and only then is the new file renamed over the old one. On any failure the old file stays as
// it was and the new one is removed. A link to a file stays a link: the file it leads to is the
// one replaced, by a new file beside it.
namespace atomicfile {

enum class Step { Create, Write, Sync, Close, Rename };

// False when the file could not be written whole; reason then names the file and the cause.
bool write(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

// Test seam: called before each step; a non-zero errno value makes that step fail with it.
using Fault = std::function<int(Step)>;
void setFaultForTesting(Fault fault);

} // namespace atomicfile
