#include "main/frmFINDIT.h"

#include "main/DirectoryAdder.h"
#include "platform/Prompter.h"
#include "platform/Volumes.h"
#include "platform/Yielder.h"
#include "widgets/DirectoryBrowser.h"
#include "widgets/ScreenPlace.h"
#include "widgets/Twips.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QPushButton* button(const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmFINDIT::frmFINDIT(
    MainSettings& settings, Session& session, const Volumes& volumes, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_session(session)
    , m_volumes(volumes)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmFINDIT"));
    setWindowTitle(QStringLiteral("Add directories"));
    setModal(true);
    buildControls();
    Form_Load();
}

void frmFINDIT::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    m_browser = new DirectoryBrowser(m_volumes, this);
    lstDRIVE = m_browser->drives();
    layout->addWidget(lstDRIVE);
    lstDIR = m_browser->directories();
    lstDIR->setMinimumSize(360, 300);
    layout->addWidget(lstDIR, 1);

    lblDIR = new QLabel;
    lblDIR->setObjectName(QStringLiteral("lblDIR"));
    lblDIR->setTextFormat(Qt::PlainText);
    layout->addWidget(lblDIR);

    auto* buttons = new QGridLayout;
    cmdADDDIR = button("cmdADDDIR", QStringLiteral("Add &Directory"));
    cmdADDTREE = button("cmdADDTREE", QStringLiteral("Add &Tree"));
    cmdIFCD = button("cmdIFCD", QStringLiteral("Set &Incoming Files Check Directory"));
    cmdIFCDTREE = button("cmdIFCDTREE", QStringLiteral("Set &Incoming Files Check Tree"));
    cmdCANCEL = button("cmdCANCEL", QStringLiteral("&Exit"));
    buttons->addWidget(cmdADDDIR, 0, 0);
    buttons->addWidget(cmdADDTREE, 0, 1);
    buttons->addWidget(cmdIFCD, 1, 0);
    buttons->addWidget(cmdIFCDTREE, 1, 1);
    buttons->addWidget(cmdCANCEL, 2, 1);
    layout->addLayout(buttons);

    connect(cmdADDDIR, &QPushButton::clicked, this, &frmFINDIT::cmdADDDIR_Click);
    connect(cmdADDTREE, &QPushButton::clicked, this, &frmFINDIT::cmdADDTREE_Click);
    connect(cmdIFCD, &QPushButton::clicked, this, &frmFINDIT::cmdIFCD_Click);
    connect(cmdIFCDTREE, &QPushButton::clicked, this, &frmFINDIT::cmdIFCDTREE_Click);
    connect(cmdCANCEL, &QPushButton::clicked, this, &frmFINDIT::cmdCANCEL_Click);
    connect(m_browser, &DirectoryBrowser::driveChosen, this, &frmFINDIT::lstDRIVE_Change);
    connect(m_browser, &DirectoryBrowser::directoryChanged, this, &frmFINDIT::lstDIR_Change);
}

QString frmFINDIT::browserPath() const
{
    return m_browser->path();
}

void frmFINDIT::Form_Load()
{
    // The bottom-right corner sits 100 twips inside the main window's.
    adjustSize();
    if (const QWidget* main = parentWidget() ? parentWidget()->window() : nullptr)
        placeInCornerOf(this, main, twips::px(100));

    const QString start = DirectoryAdder::startDirectory(m_session.LastDirUsed, m_volumes);
    m_browser->selectDriveOf(start);
    pointBrowserAt(start);
}

void frmFINDIT::pointBrowserAt(const QString& path)
{
    m_browser->pointAt(path);
}

void frmFINDIT::lstDIR_Change()
{
    lblDIR->setText(m_browser->path());
}

void frmFINDIT::lstDRIVE_Change(const QString& root)
{
    if (!DirectoryAdder::canOpen(root)) {
        m_prompter.ask(Message { QStringLiteral("Device not responding..."), QStringLiteral("Error"), MsgButtons::Ok,
            MsgIcon::Critical, 1 });
        return;
    }
    pointBrowserAt(root);
}

DirectoryAdder frmFINDIT::adder()
{
    DirectoryAdder adder(m_settings, m_volumes, &m_prompter);
    adder.onChange([this] { Q_EMIT listChanged(); });
    return adder;
}

void frmFINDIT::cmdADDDIR_Click()
{
    adder().addDirectory(m_browser->path());
}

void frmFINDIT::setWalking(bool walking)
{
    m_walking = walking;
    for (QWidget* control :
        std::initializer_list<QWidget*> { cmdCANCEL, cmdADDDIR, cmdADDTREE, cmdIFCD, cmdIFCDTREE, lstDRIVE, lstDIR })
        control->setEnabled(!walking);
}

void frmFINDIT::walkTree(bool designate)
{
    if (m_walking)
        return;
    setWalking(true);
    const QString top = m_browser->path();
    EventLoopYielder yielder;
    const auto progress = [this](const QString& path) { lblDIR->setText(path); };
    if (designate)
        adder().setIfcdTree(top, yielder, progress);
    else
        adder().addTree(top, yielder, progress);
    pointBrowserAt(top);
    setWalking(false);
}

void frmFINDIT::cmdADDTREE_Click()
{
    walkTree(false);
}

void frmFINDIT::cmdIFCD_Click()
{
    adder().setIfcd(m_browser->path());
}

void frmFINDIT::cmdIFCDTREE_Click()
{
    walkTree(true);
}

void frmFINDIT::cmdCANCEL_Click()
{
    done(QDialog::Rejected);
}

void frmFINDIT::done(int result)
{
    // A tree walk keeps the dialog open until it ends.
    if (m_walking)
        return;
    Form_Unload();
    QDialog::done(result);
}

void frmFINDIT::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_session.LastDirUsed = m_browser->path();
}
