// The pair review's display: the pair shown, the halves blanked, the controls switched off and
// on around every action.
#include "review/pair/PairReview.h"

#include "imagestats/MediaPrompts.h"
#include "platform/Volumes.h"
#include "platform/Yielder.h"
#include "review/pair/PairDisplay.h"
#include "review/pair/PairReviewView.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QDir>

bool PairReview::fileActionsOffered(int image) const
{
    // Nothing on optical media can be deleted, moved or renamed; a slot without a directory
    // names no file.
    const QString& path = slot(image).PATH;
    if (!path.startsWith(QLatin1Char('/')))
        return false;
    return m_ports.volumes.volumeFor(path).kind != DriveKind::CdRom;
}

void PairReview::setStatus(const QString& text)
{
    if (m_view)
        m_view->setStatus(text);
}

void PairReview::DisableReviewControls()
{
    if (m_view)
        m_view->setReviewControls(false, false, false);
}

void PairReview::EnableReviewControls()
{
    if (m_view)
        m_view->setReviewControls(true, fileActionsOffered(1), fileActionsOffered(2));
}

void PairReview::ClearImageFacts(int image)
{
    m_shown[std::size_t(image - 1)] = false;
    if (m_view)
        m_view->clearImage(image);
    m_ports.yielder.yield();
}

void PairReview::ClearPairFacts()
{
    ClearImageFacts(1);
    ClearImageFacts(2);
    if (m_view)
        m_view->hideMarks();
}

void PairReview::ShowPair(bool withCandidate)
{
    showImages(true, withCandidate);
}

void PairReview::showImages(bool image1, bool image2)
{
    DisableReviewControls();
    setStatus(QStringLiteral("Loading thumbnails..."));
    m_ports.yielder.yield();
    const std::array<bool, 2> wanted { image1, image2 };
    std::array<FactsText, 2> facts;
    std::array<QString, 2> dimensions;
    if (m_view)
        m_view->hideMarks();
    for (int image = 1; image <= 2; ++image) {
        if (!wanted[std::size_t(image - 1)])
            continue;
        facts[std::size_t(image - 1)] = factsText(slot(image), m_settings.ifcd);
        if (m_view)
            m_view->showFacts(image, facts[std::size_t(image - 1)]);
        m_shown[std::size_t(image - 1)] = true;
    }
    const MediaPromptSettings media { m_session.DisableFilePolling, m_session.ReactivateDrives };
    const QString errorPicture = QDir(m_programDirectory).filePath(QStringLiteral("error.bmp"));
    for (int image = 1; image <= 2; ++image) {
        if (!wanted[std::size_t(image - 1)])
            continue;
        const ImageFacts& shown = slot(image);
        PromptForFile(shown.DRIVEVOLUME, shown.filePath(), media, m_ports.volumes, m_ports.prompter);
        if (m_view) {
            const bool small = isCursorOrIcon(shown);
            const QSize drawn = m_view->showPicture(image, shown.filePath(), small, errorPicture);
            dimensions[std::size_t(image - 1)] = small ? QString() : dimensionText(drawn);
        }
    }
    if (m_view) {
        m_view->showDimensions(dimensions[0], dimensions[1]);
        if (image1 && image2)
            m_view->showMarks(agreementMarks(facts[0], facts[1], dimensions[0], dimensions[1]));
    }
    EnableReviewControls();
}
