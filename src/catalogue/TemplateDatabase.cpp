#include "catalogue/TemplateDatabase.h"

#include "catalogue/TolqCaseCollation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <SQLiteCpp/Database.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

// The resources live in a static library: make sure they are registered before use.
static void initResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(tolq);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool writeTemplateDatabase(const QString& path, QString* error)
{
    initResources();
    QFile schemaFile(QStringLiteral(":/tolq/schema.sql"));
    if (!schemaFile.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("The catalogue schema is missing from the program."));
    const QByteArray schema = schemaFile.readAll();

    // Written beside the target under a unique name, then renamed into place, so a reader never
    // meets a half-written template.
    const QFileInfo target(path);
    QTemporaryFile work(target.absoluteDir().filePath(QStringLiteral(".%1-XXXXXX").arg(target.fileName())));
    if (!work.open())
        return fail(error, QStringLiteral("Cannot write in %1 (%2).").arg(target.absolutePath(), work.errorString()));
    const QString workPath = work.fileName();
    work.close();
    work.setPermissions(
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);

    try {
        SQLite::Database db(QFile::encodeName(workPath).toStdString(), SQLite::OPEN_READWRITE);
        if (!TolqCaseCollation::registerOn(db.getHandle()))
            return fail(error, QStringLiteral("The text order of the catalogue cannot be set up."));
        db.exec("PRAGMA journal_mode=DELETE");
        db.exec(schema.constData());
    } catch (const std::exception& e) {
        return fail(
            error, QStringLiteral("Cannot write the catalogue template (%1).").arg(QString::fromUtf8(e.what())));
    }
    if (std::rename(QFile::encodeName(workPath).constData(), QFile::encodeName(path).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        return fail(error, QStringLiteral("Cannot put the catalogue template in place (%1).").arg(why));
    }
    work.setAutoRemove(false);
    return true;
}
