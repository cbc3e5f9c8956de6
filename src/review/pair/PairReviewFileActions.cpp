// The pair review's Move, Rename and View: the file actions themselves are the shared ones; here
// is what the review does around them.
#include "review/pair/PairReview.h"

#include "dialogs/ImageViewer.h"
#include "imagestats/MediaPrompts.h"
#include "platform/Yielder.h"
#include "review/FileActions.h"
#include "review/pair/PairDisplay.h"
#include "review/pair/PairReviewView.h"
#include "session/MainSettings.h"
#include "session/Session.h"

void PairReview::moveImage(int image)
{
    if (!m_dialogs.move || !imageShown(image) || !fileActionsOffered(image))
        return;
    press([this, image] {
        DisableReviewControls();
        if (!m_fileActions->moveFile(slot(image), *m_dialogs.move).done()) {
            setStatus(notMovedText());
            EnableReviewControls();
            return;
        }
        // Shown again from the slots: the moved image from its new place. A half emptied by a
        // delete stays empty.
        showImages(imageShown(1), imageShown(2));
        EnableReviewControls();
        setStatus(movedText());
    });
}

bool PairReview::cmdRENAME_Click(int image)
{
    if (m_busy || !m_files || !imageShown(image) || !fileActionsOffered(image))
        return false;
    const ImageFacts& renamed = slot(image);
    PromptForFile(renamed.DRIVEVOLUME, renamed.filePath(),
        MediaPromptSettings { m_session.DisableFilePolling, m_session.ReactivateDrives }, m_ports.volumes,
        m_ports.prompter);
    return true;
}

bool PairReview::txtNEWNAME_LostFocus(int image, const QString& typed)
{
    // While another press is at work the typed name is kept and the box stays open.
    if (m_busy || !m_files)
        return false;
    bool closes = true;
    press([this, image, &typed, &closes] {
        DisableReviewControls();
        const FileActionOutcome outcome = m_fileActions->renameFile(slot(image), typed);
        closes = outcome.result != FileActionOutcome::Result::Failed;
        // The facts of the image follow its new name; the marks, dimensions and pictures stay.
        if (outcome.done() && m_view)
            m_view->showFacts(image, factsText(slot(image), m_settings.ifcd));
        EnableReviewControls();
    });
    return closes;
}

void PairReview::gvbIMAGE_Click()
{
    if (!m_dialogs.viewer)
        return;
    press([this] {
        DisableReviewControls();
        // A half without a file (deleted in this review, or nothing found) hands the viewer none.
        auto sideOf = [this](int image) {
            if (!imageShown(image))
                return ViewSide {};
            return ViewSide { slot(image).filePath(), slot(image).SIZE.trimmed() + QStringLiteral(" bytes") };
        };
        const ViewSide side1 = sideOf(1);
        const ViewSide side2 = sideOf(2);
        const MediaPromptSettings media { m_session.DisableFilePolling, m_session.ReactivateDrives };
        const ViewResult result = m_dialogs.viewer->view(side1, side2, [this, &media](int side) {
            setStatus(QStringLiteral("Loading image ") + QString::number(side) + QStringLiteral("..."));
            m_ports.yielder.yield();
            PromptForFile(slot(side).DRIVEVOLUME, slot(side).filePath(), media, m_ports.volumes, m_ports.prompter);
        });
        setStatus(QString());
        EnableReviewControls();
        m_ports.yielder.yield();

        // Names on disk tell letter case apart, so the request is compared exactly. One file shown
        // on both sides is never deleted from the viewer.
        const QString& request = result.DelPic;
        if (request.isEmpty())
            return;
        if (request == side1.file && request != side2.file)
            deleteOne(1);
        // Read afresh: a delete of image 1 that went on to the next pair must not delete in it.
        const QString file1 = slot(1).filePath();
        const QString file2 = imageShown(2) ? slot(2).filePath() : QString();
        if (request == file2 && request != file1)
            deleteOne(2);
    });
}
