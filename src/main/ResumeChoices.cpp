#include "main/ResumeChoices.h"

#include "platform/Volumes.h"

#include <QDir>
#include <QMap>

void ResumeChoices::load(const Session& session, const Volumes& volumes)
{
    m_resumeEnabled = true;
    m_resumeSelected = false;
    if (session.SessionMode == QLatin1String("NEW"))
        m_resumeEnabled = false;
    else if (session.SessionMode == QLatin1String("RESUME"))
        m_resumeSelected = true;

    QMap<QString, ReactivateBox> byMountPoint;
    for (const VolumeInfo& volume : volumes.mounted()) {
        if (volume.kind != DriveKind::Fixed && volume.kind != DriveKind::NoRoot)
            byMountPoint.insert(volume.mountPoint, ReactivateBox { volume.mountPoint, true, false });
    }
    bool ticked = false;
    for (const QString& remembered : session.reactivateMountPoints()) {
        // Anything but an absolute path names no mount point and gets no box.
        if (!remembered.startsWith(QLatin1Char('/')))
            continue;
        const QString mountPoint = QDir::cleanPath(remembered);
        auto box = byMountPoint.find(mountPoint);
        if (box == byMountPoint.end())
            box = byMountPoint.insert(mountPoint, ReactivateBox { mountPoint, false, false });
        box->ticked = true;
        ticked = true;
    }
    m_boxes = byMountPoint.values();
    if (ticked)
        selectNew();
}

void ResumeChoices::clickBox(int index, bool ticked)
{
    // A disabled box takes no clicks.
    if (index < 0 || index >= m_boxes.size() || !m_boxes[index].enabled)
        return;
    m_boxes[index].ticked = ticked;
    selectNew();
}

void ResumeChoices::selectResume()
{
    if (m_resumeEnabled)
        m_resumeSelected = true;
}

void ResumeChoices::selectNew()
{
    m_resumeSelected = false;
}

void ResumeChoices::start(Session& session) const
{
    session.SessionMode = m_resumeSelected ? QStringLiteral("RESUME") : QStringLiteral("NEW");
    QStringList ticked;
    for (const ReactivateBox& box : m_boxes) {
        if (box.ticked)
            ticked << box.mountPoint;
    }
    session.setReactivateMountPoints(ticked);
}
