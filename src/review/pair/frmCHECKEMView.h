#pragma once

#include "review/pair/PairReviewView.h"
#include "review/pair/frmCHECKEM.h"

// How the pair review window renders what the review engine shows.
class frmCHECKEM::View : public PairReviewView
{
public:
    explicit View(frmCHECKEM& window)
        : m_window(window)
    {
    }

    void setReviewControls(bool enabled, bool image1Actions, bool image2Actions) override;
    void setStatus(const QString& text) override;
    void setStopVisible(bool visible) override;
    void clearImage(int image) override;
    void hideMarks() override;
    void showFacts(int image, const FactsText& facts) override;
    QSize showPicture(int image, const QString& file, bool cursorOrIcon, const QString& errorPicture) override;
    void showDimensions(const QString& image1, const QString& image2) override;
    void showMarks(const AgreementMarks& marks) override;

private:
    // The thumbnail centred in its square.
    void placeThumbnail(std::size_t i);

    frmCHECKEM& m_window;
};
