#include "review/pair/frmCHECKEMView.h"

#include "imagestats/ImageDecoder.h"
#include "widgets/ImageBox.h"
#include "widgets/Twips.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr int ThumbnailSide = twips::px(1440); // one inch
constexpr int IconSide = twips::px(480); // a third of an inch

void setTextColour(QLabel* label, LocationColour colour)
{
    QPalette palette = label->palette();
    QColor text = QApplication::palette().color(QPalette::ButtonText);
    if (colour == LocationColour::Temporary)
        text = QColor(0, 0, 255);
    else if (colour == LocationColour::Ifcd)
        text = QColor(255, 0, 0);
    palette.setColor(QPalette::WindowText, text);
    label->setPalette(palette);
}

} // namespace

void frmCHECKEM::View::setReviewControls(bool enabled, bool image1Actions, bool image2Actions)
{
    frmCHECKEM& w = m_window;
    w.m_keyPreview = enabled;
    for (QPushButton* button : { w.cmdBOTH, w.cmdPREVIOUS, w.cmdNEXT, w.cmdSKIP, w.cmdCANCEL })
        button->setEnabled(enabled);
    for (ImageBox* thumbnail : w.gvbIMAGE)
        thumbnail->setEnabled(enabled);
    const bool actions[2] = { enabled && image1Actions, enabled && image2Actions };
    for (std::size_t i = 0; i < 2; ++i) {
        w.cmdDELETE[i]->setEnabled(actions[i]);
        w.cmdMOVE[i]->setEnabled(actions[i]);
        w.cmdRENAME[i]->setEnabled(actions[i]);
    }
}

void frmCHECKEM::View::setStatus(const QString& text)
{
    m_window.lblSTATUS->setText(text);
}

void frmCHECKEM::View::setStopVisible(bool visible)
{
    m_window.cmdSTOP->setVisible(visible);
}

void frmCHECKEM::View::clearImage(int image)
{
    const std::size_t i = std::size_t(image - 1);
    frmCHECKEM& w = m_window;
    for (QLabel* fact : { w.lblFILE[i], w.lblPATH[i], w.lblTYPE[i], w.lblSIZE[i], w.lblDATE[i], w.lblDIM[i] })
        fact->clear();
    w.txtNEWNAME[i]->clear();
    w.gvbIMAGE[i]->setFile(QString());
    w.picIMAGE[i]->hide();
    w.picIMAGE[i]->clear();
}

void frmCHECKEM::View::hideMarks()
{
    frmCHECKEM& w = m_window;
    for (const auto& marks :
        { w.lblCHKNAME, w.lblCHKLOCATION, w.lblCHKTYPE, w.lblCHKSIZE, w.lblCHKDATE, w.lblCHKDIM }) {
        for (QLabel* mark : marks)
            mark->hide();
    }
}

void frmCHECKEM::View::showFacts(int image, const FactsText& facts)
{
    const std::size_t i = std::size_t(image - 1);
    frmCHECKEM& w = m_window;
    setTextColour(w.lblFILE[i], facts.colour);
    setTextColour(w.lblPATH[i], facts.colour);
    w.lblFILE[i]->setText(facts.file);
    w.lblPATH[i]->setText(facts.path);
    w.lblTYPE[i]->setText(facts.type);
    w.lblSIZE[i]->setText(facts.size);
    w.lblDATE[i]->setText(facts.date);
    w.fitSizeRow(i);
    w.txtNEWNAME[i]->setText(facts.file);
}

void frmCHECKEM::View::placeThumbnail(std::size_t i)
{
    ImageBox* box = m_window.gvbIMAGE[i];
    const QPoint corner = twips::px(QPoint(240, 240 + int(i) * 2400));
    box->move(corner.x() + (ThumbnailSide - box->width()) / 2, corner.y() + (ThumbnailSide - box->height()) / 2);
}

QSize frmCHECKEM::View::showPicture(int image, const QString& file, bool cursorOrIcon, const QString& errorPicture)
{
    const std::size_t i = std::size_t(image - 1);
    frmCHECKEM& w = m_window;
    const QSize bound(ThumbnailSide, ThumbnailSide);
    bool drawn = false;
    if (cursorOrIcon) {
        const DecodeResult decoded = decodeImageFile(file, QSize(IconSide, IconSide));
        if (decoded.ok()) {
            w.picIMAGE[i]->setPixmap(QPixmap::fromImage(decoded.image));
            drawn = true;
        }
        // The box is shown even when the file cannot be drawn, in front of the error picture.
        w.picIMAGE[i]->show();
        w.picIMAGE[i]->raise();
    } else {
        drawn = w.gvbIMAGE[i]->setFile(file, bound);
    }
    if (!drawn)
        w.gvbIMAGE[i]->setFile(errorPicture, bound); // a failure here is let go
    placeThumbnail(i);
    if (cursorOrIcon)
        return QSize();
    return QSize(w.gvbIMAGE[i]->imageWidth(), w.gvbIMAGE[i]->imageHeight());
}

void frmCHECKEM::View::showDimensions(const QString& image1, const QString& image2)
{
    frmCHECKEM& w = m_window;
    w.lblDIM[0]->setText(image1);
    w.lblDIM[1]->setText(image2);
    for (std::size_t i = 0; i < 2; ++i) {
        w.lblD[i]->show();
        w.lblDIM[i]->show();
    }
}

void frmCHECKEM::View::showMarks(const AgreementMarks& marks)
{
    frmCHECKEM& w = m_window;
    const std::pair<const std::array<QLabel*, 2>&, bool> shown[]
        = { { w.lblCHKNAME, marks.name }, { w.lblCHKLOCATION, marks.location }, { w.lblCHKTYPE, marks.type },
              { w.lblCHKSIZE, marks.size }, { w.lblCHKDATE, marks.date }, { w.lblCHKDIM, marks.dimensions } };
    for (const auto& [labels, on] : shown) {
        for (QLabel* mark : labels)
            mark->setVisible(on);
    }
}
