#include "main/DirectoryListEditor.h"

#include "platform/Prompter.h"
#include "platform/TextLines.h"
#include "session/DirectoryEntry.h"

#include <QSet>

const QString DirectoryListEditor::ClearQuestion = QStringLiteral("Clear the entire list of directories?");
const QString DirectoryListEditor::UndesignateQuestion
    = QStringLiteral("No directories selected.  Do you wish to Un-designate the IFCD?");
const QString DirectoryListEditor::RemoveIfcdQuestion
    = QStringLiteral("Shall I remove the IFCD Directory(s) from the seach list as well?");

namespace {

const QString DeleteTitle = QStringLiteral("t'olq! - Delete directories");

bool askYes(Prompter& prompter, const QString& text, const QString& title)
{
    return prompter.ask(Message { text, title, MsgButtons::YesNo, MsgIcon::Question, 1 }) == MsgAnswer::Yes;
}

} // namespace

DirectoryListEditor::DirectoryListEditor(
    MainSettings& settings, Session& session, Prompter& prompter, SaveList saveList)
    : m_settings(settings)
    , m_session(session)
    , m_prompter(prompter)
    , m_saveList(std::move(saveList))
{
}

bool DirectoryListEditor::clear()
{
    if (!askYes(m_prompter, ClearQuestion, DeleteTitle))
        return false;
    m_session.ChangedSearch = true;
    m_settings.directories.clear();
    m_settings.ifcd.clear();
    m_settings.treeModeIfcd = false;
    m_settings.listName.clear();
    return true;
}

void DirectoryListEditor::deleteSelected(const QList<int>& selectedPositions)
{
    const QSet<int> selected(selectedPositions.cbegin(), selectedPositions.cend());
    QStringList& list = m_settings.directories;
    int removed = 0;
    // From the end, so the positions not yet visited stay valid.
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        if (!selected.contains(int(i)))
            continue;
        if (list.at(i) == m_settings.ifcd) {
            m_settings.ifcd.clear();
            m_settings.treeModeIfcd = false;
        }
        list.removeAt(i);
        m_session.ChangedSearch = true;
        ++removed;
    }

    if (removed == 0 && !textlines::trimBlanks(m_settings.ifcd).isEmpty()
        && askYes(m_prompter, UndesignateQuestion, DeleteTitle)) {
        if (askYes(m_prompter, RemoveIfcdQuestion, QStringLiteral("t'olq! - Un-designate IFCD..."))) {
            const QString ifcd = m_settings.ifcd;
            const bool tree = m_settings.treeModeIfcd;
            for (qsizetype i = list.size() - 1; i >= 0; --i) {
                if (tree ? DirectoryEntry::liesIn(list.at(i), ifcd) : list.at(i) == ifcd)
                    list.removeAt(i);
            }
        }
        m_settings.ifcd.clear();
        m_settings.treeModeIfcd = false;
        m_session.ChangedSearch = true;
    }
    autosave();
}

void DirectoryListEditor::autosave()
{
    if (m_settings.saveList && m_saveList)
        m_saveList(m_settings.listName);
}
