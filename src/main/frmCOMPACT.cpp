#include "main/frmCOMPACT.h"

#include <QFont>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

// The notice picture: a framed line of text.
QPixmap noticePicture()
{
    QImage image(320, 64, QImage::Format_RGB32);
    image.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Compacting the database, please wait..."));
    painter.end();
    return QPixmap::fromImage(image);
}

} // namespace

frmCOMPACT::frmCOMPACT(QWidget* mainWindow, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmCOMPACT"));
    setWindowTitle(QStringLiteral("t'olq!"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(noticePicture());
    layout->addWidget(Image1);
    Form_Load();
}

void frmCOMPACT::Form_Load()
{
    adjustSize();
    if (!m_mainWindow)
        return;
    // Centred over the main window.
    const QRect main = m_mainWindow->frameGeometry();
    move(main.left() + (main.width() - width()) / 2, main.top() + (main.height() - height()) / 2);
}
