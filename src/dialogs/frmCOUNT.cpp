#include "dialogs/frmCOUNT.h"

#include "widgets/Twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

using twips::px;

namespace {

// The illustration: a small stack of cards with a tally.
QPixmap tallyPicture(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor tints[] = { QColor(160, 200, 255), QColor(255, 220, 150), QColor(200, 255, 170) };
    for (int i = 0; i < 3; ++i) {
        const QRect card(4 + i * 6, 4 + i * 6, size.width() - 22, size.height() - 22);
        painter.setBrush(tints[i]);
        painter.setPen(tints[i].darker(170));
        painter.drawRect(card);
    }
    painter.setPen(QPen(QColor(90, 90, 90), 2));
    for (int i = 0; i < 4; ++i)
        painter.drawLine(22 + i * 6, 22, 22 + i * 6, size.height() - 14);
    painter.drawLine(18, size.height() - 18, 44, 26);
    return pixmap;
}

} // namespace

frmCOUNT::frmCOUNT(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCOUNT"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    buildControls();
    Form_Load();
}

void frmCOUNT::buildControls()
{
    setWindowTitle(QStringLiteral("t'olq! - Count"));
    setFixedSize(px(5400), px(2040));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(px(240, 240, 960, 960));
    Image1->setPixmap(tallyPicture(Image1->size()));

    lblCOUNT = new QLabel(this);
    lblCOUNT->setObjectName(QStringLiteral("lblCOUNT"));
    lblCOUNT->setGeometry(px(1440, 240, 3720, 1080));
    lblCOUNT->setWordWrap(true);
    lblCOUNT->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdOK = new QPushButton(QStringLiteral("Continue"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(px(3840, 1440, 1320, 420));
    connect(cmdOK, &QPushButton::clicked, this, &frmCOUNT::cmdOK_Click);
}

void frmCOUNT::Form_Load()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    cmdOK->setEnabled(false);
}

void frmCOUNT::cmdOK_Click()
{
    close();
}

frmCOUNT& frmCOUNT::Notice::window()
{
    if (!m_window) {
        m_window = new frmCOUNT(m_parent);
        // Modal from its first showing: the count takes no input while it runs anyway, and the
        // closing text then needs no second showing to be modal (below).
        m_window->setWindowModality(Qt::ApplicationModal);
    }
    return *m_window;
}

void frmCOUNT::Notice::showRunning(const QString& text)
{
    // A long count hands over more numbers than the eye can follow: the text climbing through
    // them is drawn at most every 20 ms, so drawing never slows the count down.
    if (m_window && m_window->isVisible() && m_drawn.isValid() && m_drawn.elapsed() < 20)
        return;
    m_drawn.start();
    frmCOUNT& notice = window();
    if (!text.isEmpty())
        notice.lblCOUNT->setText(text);
    notice.show();
    notice.lblCOUNT->repaint();
}

void frmCOUNT::Notice::showFinal(const QString& text)
{
    frmCOUNT& notice = window();
    // The notice stays up from the running text to the closing one. Hidden and shown again at
    // once, a window the window manager has only begun to map may stay unmapped, and the user
    // would wait on a notice that is nowhere to be seen.
    notice.lblCOUNT->setText(text);
    notice.lblCOUNT->repaint();
    notice.cmdOK->setEnabled(true);
    // Enter presses Continue as a click does.
    notice.cmdOK->setDefault(true);
    notice.cmdOK->setFocus();
    notice.raise();
    notice.activateWindow();
    notice.exec();
    // Continue unloads the notice; a window closed some other way goes too.
    if (m_window)
        m_window->deleteLater();
}
