#pragma once

#include "session/Session.h"

#include <QList>
#include <QString>

class Volumes;

// One box of the start-or-resume dialog: a mount point whose records the next new search
// re-activates without reading it.
struct ReactivateBox
{
    QString mountPoint;
    bool enabled = true;
    bool ticked = false;

    bool operator==(const ReactivateBox&) const = default;
};

// The rules of the start-or-resume dialog, apart from its window: which mount points get a box,
// which option is selected, and what Start writes into the session.
class ResumeChoices
{
public:
    // Form_Load: the options from SessionMode; a box for every mounted file system that is not
    // fixed, and one for every remembered mount point (ticked, and disabled when it is absent or
    // fixed), by mount point. Every remembered tick counts as a click, so it selects a new search.
    void load(const Session& session, const Volumes& volumes);

    const QList<ReactivateBox>& boxes() const { return m_boxes; }
    bool resumeEnabled() const { return m_resumeEnabled; }
    bool resumeSelected() const { return m_resumeSelected; }
    bool newSelected() const { return !m_resumeSelected; }

    // A click on an enabled box, ticking or clearing it: either way the new search is selected.
    void clickBox(int index, bool ticked);
    void selectResume();
    void selectNew();

    // Start: SessionMode from the selected option, ReactivateDrives the ticked mount points in
    // the boxes' order, joined by "|".
    void start(Session& session) const;

private:
    QList<ReactivateBox> m_boxes;
    bool m_resumeEnabled = true;
    bool m_resumeSelected = false;
};
