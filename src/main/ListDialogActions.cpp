#include "main/ListDialogActions.h"

#include "main/ListFiles.h"
#include "platform/Conventions.h"
#include "platform/Prompter.h"
#include "platform/TextLines.h"

#include <QDir>
#include <QFile>

const QString ListDialogActions::NoNameMessage = QStringLiteral("No list name specified...");
const QString ListDialogActions::ReservedNameMessage = QStringLiteral("You may not use the name TOLQ!");

ListDialogActions::ListDialogActions(QString dataDirectory, Prompter& prompter)
    : m_dataDirectory(std::move(dataDirectory))
    , m_prompter(prompter)
{
    if (!m_dataDirectory.endsWith(QLatin1Char('/')))
        m_dataDirectory += QLatin1Char('/');
}

QString ListDialogActions::normaliseName(const QString& text)
{
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    return textlines::trimBlanks(dot >= 0 ? text.left(dot) : text);
}

QStringList ListDialogActions::savedLists() const
{
    // The writer names list files in lower case: a ".LST" file would not load under its name.
    const QDir dir(
        m_dataDirectory, QStringLiteral("*.lst"), QDir::Name | QDir::IgnoreCase, QDir::Files | QDir::CaseSensitive);
    return dir.entryList();
}

QStringList ListDialogActions::filesOf(const QString& name) const
{
    const QString base = m_dataDirectory + name;
    // The catalogue engine keeps its write-ahead log, shared memory and rollback journal beside
    // the database while it is in use; they go with it.
    return { base + QStringLiteral(".lst"), base + QStringLiteral(".mdb"), base + QStringLiteral(".lcd"),
        base + QStringLiteral(".mdb-wal"), base + QStringLiteral(".mdb-shm"), base + QStringLiteral(".mdb-journal") };
}

bool ListDialogActions::refusedAsEmpty(const QString& name)
{
    if (!name.isEmpty())
        return false;
    m_prompter.tell(NoNameMessage);
    return true;
}

bool ListDialogActions::refusedAsLines(const QString& name)
{
    if (!textlines::holdsLineBreak(name))
        return false;
    // Told as the dialog's other refusals are.
    m_prompter.tell(
        textlines::lineBreakRefusal(textlines::settingLineBreakReason(QStringLiteral("list name")), { name }));
    return true;
}

ListDialogActions::Outcome ListDialogActions::act(
    const QString& actionCaption, const QString& text, const ListCall& loadList, const ListCall& saveList)
{
    const QString name = normaliseName(text);
    if (refusedAsEmpty(name))
        return Outcome { false, name };
    if (refusedAsLines(name))
        return Outcome { false, QString() };
    if (conv::upper(name) == QLatin1String("TOLQ")) {
        m_prompter.tell(ReservedNameMessage);
        return Outcome { false, QString() };
    }
    // Names that cannot form a file name are refused by the list files themselves, with their
    // messages; the dialog closes all the same.
    if (actionCaption == QLatin1String("Save"))
        saveList(name);
    else
        loadList(name);
    return Outcome { true, name };
}

ListDialogActions::Outcome ListDialogActions::remove(const QString& text)
{
    const QString name = normaliseName(text);
    if (refusedAsEmpty(name))
        return Outcome { false, name };
    if (refusedAsLines(name))
        return Outcome { false, QString() };
    // A name that reaches outside the data directory names no list: nothing is deleted there.
    if (ListFiles::isUnsafeName(name)) {
        m_prompter.tell(NoNameMessage);
        return Outcome { false, name };
    }
    const MsgAnswer answer = m_prompter.ask(Message { QStringLiteral("Delete list - ") + name + QStringLiteral(" ?"),
        QStringLiteral("Confirm Deletion..."), MsgButtons::YesNo, MsgIcon::Question, 2 });
    if (answer != MsgAnswer::Yes)
        return Outcome { false, name };
    for (const QString& file : filesOf(name))
        QFile::remove(file);
    return Outcome { false, QString() };
}
