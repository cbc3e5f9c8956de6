#pragma once

#include "session/MainSettings.h"
#include "session/Session.h"

#include <QList>
#include <QString>
#include <functional>

class Prompter;

// The main window's Clear and Delete buttons on the settings value, and the autosave that follows
// a change of the list.
class DirectoryListEditor
{
public:
    using SaveList = std::function<void(const QString& name)>;

    DirectoryListEditor(MainSettings& settings, Session& session, Prompter& prompter, SaveList saveList);

    // Clear, after the question: the list, the IFCD and the list name are gone; nothing is saved.
    // True when the user confirmed.
    bool clear();
    // Delete: removes the entries at the selected positions; with none selected, offers to
    // un-designate the IFCD (and to remove its entries). Ends with the autosave.
    void deleteSelected(const QList<int>& selectedPositions);
    // With autosave ticked, the list is saved under its name (an empty one included).
    void autosave();

    // The questions, as the user sees them.
    static const QString ClearQuestion;
    static const QString UndesignateQuestion;
    static const QString RemoveIfcdQuestion;

private:
    MainSettings& m_settings;
    Session& m_session;
    Prompter& m_prompter;
    SaveList m_saveList;
};
