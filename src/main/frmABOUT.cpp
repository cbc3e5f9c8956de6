#include "main/frmABOUT.h"

#include "main/EyeFrames.h"
#include "platform/Conventions.h"
#include "widgets/ScreenPlace.h"
#include "widgets/WindowFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

frmABOUT::frmABOUT(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmABOUT"));
    setWindowTitle(QStringLiteral("About t'olq!"));
    auto* layout = new QVBoxLayout(this);
    auto* pictures = new QHBoxLayout;
    for (bool right : { false, true }) {
        auto* picture = new QLabel;
        picture->setPixmap(QPixmap::fromImage(eyeframes::draw(0, right)));
        pictures->addWidget(picture);
    }
    layout->addLayout(pictures);
    layout->addWidget(new QLabel(QStringLiteral("t'olq! finds duplicate image files and helps you remove them.")));
    lblVERSION = new QLabel;
    lblVERSION->setObjectName(QStringLiteral("lblVERSION"));
    layout->addWidget(lblVERSION);
    layout->addWidget(new QLabel(QStringLiteral("Free software under the GNU General Public License, "
                                                "version 3 or later. It comes with no warranty.")));
    Command1 = new QPushButton(QStringLiteral("&Ok"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    layout->addWidget(Command1, 0, Qt::AlignHCenter);
    connect(Command1, &QPushButton::clicked, this, &frmABOUT::Command1_Click);
    Form_Load();
}

QString frmABOUT::versionText(int major, int minor)
{
    return QStringLiteral("Revision ") + QString::number(major) + QLatin1Char('.') + conv::format00(minor)
        + QStringLiteral("  -  the t'olq! developers");
}

void frmABOUT::Form_Load()
{
    lblVERSION->setText(versionText(TOLQ_VERSION_MAJOR, TOLQ_VERSION_MINOR));
    adjustSize();
    // Centred by the outer frame, title bar included, once the window manager has framed it.
    new WindowFrame(this, [this](QMargins frame) {
        const QRect area = primaryScreenArea();
        const QSize outer = size().grownBy(frame);
        move(keptOnScreen(outer,
            QPoint(
                area.left() + (area.width() - outer.width()) / 2, area.top() + (area.height() - outer.height()) / 2)));
    });
}

void frmABOUT::Command1_Click()
{
    accept();
}
