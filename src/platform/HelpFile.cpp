#include "platform/HelpFile.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool openHelpFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}
