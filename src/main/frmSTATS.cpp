#include "main/frmSTATS.h"

#include "platform/Prompter.h"
#include "widgets/ScreenPlace.h"
#include "widgets/TitleRoom.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmSTATS::frmSTATS(const QString& message, QWidget* mainWindow)
    : QDialog(mainWindow)
{
    setObjectName(QStringLiteral("frmSTATS"));
    setWindowTitle(QStringLiteral("t'olq! - DriveSpace Recovery Stats"));
    auto* layout = new QVBoxLayout(this);
    lblMSG = new QLabel(displayText(message));
    lblMSG->setObjectName(QStringLiteral("lblMSG"));
    chkNODISPLAY = new QCheckBox(QStringLiteral("Do not display this message..."));
    chkNODISPLAY->setObjectName(QStringLiteral("chkNODISPLAY"));
    cmdOK = new QPushButton(QStringLiteral("&Ok"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    layout->addWidget(lblMSG);
    layout->addWidget(chkNODISPLAY);
    layout->addWidget(cmdOK, 0, Qt::AlignHCenter);
    connect(cmdOK, &QPushButton::clicked, this, &frmSTATS::cmdOK_Click);
    Form_Load();
}

void frmSTATS::Form_Load()
{
    setMinimumWidth(titleRoom(this));
    adjustSize();
    if (const QWidget* main = parentWidget())
        centreOver(this, main);
}

void frmSTATS::cmdOK_Click()
{
    // Only hides: the caller still reads the box.
    accept();
}

StatsAnswer frmSTATS::showModal()
{
    if (exec() != QDialog::Accepted)
        return StatsAnswer::Closed;
    return chkNODISPLAY->isChecked() ? StatsAnswer::OkDoNotDisplay : StatsAnswer::Ok;
}
