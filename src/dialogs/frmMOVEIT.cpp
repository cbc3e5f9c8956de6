#include "dialogs/frmMOVEIT.h"

#include "platform/DirectoryAccess.h"
#include "platform/Prompter.h"
#include "session/DirectoryEntry.h"
#include "session/MainSettings.h"
#include "session/Session.h"
#include "widgets/DirectoryBrowser.h"
#include "widgets/ScreenPlace.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QLabel* label(const char* name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    return l;
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmMOVEIT::frmMOVEIT(
    const MainSettings& settings, const Session& session, const Volumes& volumes, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_session(session)
    , m_volumes(volumes)
    , m_prompter(prompter)
    , m_engine(prompter, volumes)
{
    setObjectName(QStringLiteral("frmMOVEIT"));
    setWindowTitle(QStringLiteral("Move File"));
    setModal(true);
    buildControls();
    Form_Load();
}

void frmMOVEIT::buildControls()
{
    lblFILENAME = label("lblFILENAME", this);
    lblFROM = label("lblFROM", this);
    lblTO = label("lblTO", this);
    lblNEWNAME = label("lblNEWNAME", this);
    lblDIR = label("lblDIR", this);
    // The results are read by the caller, not shown.
    lblTO->hide();
    lblNEWNAME->hide();

    auto* facts = new QGridLayout;
    const QStringList captions { QStringLiteral("Move file - "), QStringLiteral("from - "), QStringLiteral("to - ") };
    const QList<QLabel*> values { lblFILENAME, lblFROM, lblDIR };
    for (int row = 0; row < captions.size(); ++row) {
        facts->addWidget(new QLabel(captions[row], this), row, 0, Qt::AlignRight | Qt::AlignTop);
        values[row]->setWordWrap(true);
        facts->addWidget(values[row], row, 1);
    }
    facts->setColumnStretch(1, 1);

    m_browser = new DirectoryBrowser(m_volumes, this);
    lstDRIVE = m_browser->drives();
    lstDIR = m_browser->directories();
    lstDIR->setMinimumSize(280, 240);
    lstPATHS = new QListWidget(this);
    lstPATHS->setObjectName(QStringLiteral("lstPATHS"));
    lstPATHS->setMinimumWidth(280);

    auto* browse = new QVBoxLayout;
    browse->addWidget(lstDRIVE);
    browse->addWidget(lstDIR, 1);
    auto* lists = new QHBoxLayout;
    lists->addLayout(browse, 1);
    lists->addWidget(lstPATHS, 1);

    cmdADDDIR = button("cmdADDDIR", QStringLiteral("&Move"), this);
    cmdCANCEL = button("cmdCANCEL", QStringLiteral("&Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdADDDIR);
    buttons->addWidget(cmdCANCEL);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(facts);
    auto* hint = new QLabel(
        QStringLiteral("Select a directoy and click Move, or double click a previous directory from list..."), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    layout->addWidget(lblTO);
    layout->addWidget(lblNEWNAME);

    connect(m_browser, &DirectoryBrowser::driveChosen, this, &frmMOVEIT::lstDRIVE_Change);
    connect(m_browser, &DirectoryBrowser::directoryChanged, this, &frmMOVEIT::lstDIR_Change);
    connect(lstPATHS, &QListWidget::itemClicked, this, &frmMOVEIT::lstPATHS_Click);
    connect(lstPATHS, &QListWidget::itemDoubleClicked, this, &frmMOVEIT::lstPATHS_DblClick);
    connect(cmdADDDIR, &QPushButton::clicked, this, &frmMOVEIT::cmdADDDIR_Click);
    connect(cmdCANCEL, &QPushButton::clicked, this, &frmMOVEIT::cmdCANCEL_Click);
}

void frmMOVEIT::Form_Load()
{
    // A real directory from the start, so Move never meets an empty destination.
    const QString start = defaultStartDirectory();
    m_browser->selectDriveOf(start);
    pointBrowserAt(start);
    adjustSize();
}

QString frmMOVEIT::browserPath() const
{
    return m_browser->path();
}

void frmMOVEIT::pointBrowserAt(const QString& path)
{
    m_browser->pointAt(path);
}

MoveResult frmMOVEIT::moveFile(const QString& fileName, const QString& from, QWidget* owner)
{
    m_owner = owner;
    lblFILENAME->setText(fileName);
    lblFROM->setText(from);
    // Nothing moved until a move succeeds in this showing.
    lblTO->setText(from);
    lblNEWNAME->setText(fileName);
    exec();
    m_owner = nullptr;
    return MoveResult { lblTO->text(), lblNEWNAME->text(), lblTO->text() != lblFROM->text() };
}

void frmMOVEIT::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmMOVEIT::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmMOVEIT::Form_Activate()
{
    if (m_owner)
        move(keptOnScreen(
            frameGeometry().size(), MoveFileEngine::placement(m_owner->frameGeometry(), frameGeometry().size())));
}

void frmMOVEIT::lstDRIVE_Change(const QString& mountPoint)
{
    if (!canOpenDirectory(mountPoint)) {
        m_prompter.ask(Message { QStringLiteral("Device not responding..."), QStringLiteral("Error"), MsgButtons::Ok,
            MsgIcon::Critical, 1 });
        return;
    }
    pointBrowserAt(mountPoint);
}

void frmMOVEIT::lstDIR_Change()
{
    lblDIR->setText(DirectoryEntry::forPath(m_browser->path(), m_volumes));
}

void frmMOVEIT::lstPATHS_Click(QListWidgetItem* item)
{
    lblDIR->setText(item->text());
}

void frmMOVEIT::lstPATHS_DblClick(QListWidgetItem* item)
{
    lblDIR->setText(item->text());
    lblTO->setText(lblDIR->text());
    MoveFile();
}

void frmMOVEIT::cmdADDDIR_Click()
{
    if (lblDIR->text().isEmpty())
        return;
    const QString entry = DirectoryEntry::forPath(m_browser->path(), m_volumes);
    if (m_engine.rememberDestination(entry))
        lstPATHS->addItem(entry);
    lblTO->setText(lblDIR->text());
    MoveFile();
}

void frmMOVEIT::cmdCANCEL_Click()
{
    lblTO->setText(lblFROM->text());
    QDialog::done(QDialog::Rejected);
}

void frmMOVEIT::reject()
{
    // The close box and Escape are Cancel.
    cmdCANCEL_Click();
}

MoveSettings frmMOVEIT::moveSettings() const
{
    MoveSettings settings;
    settings.noConfirm = m_settings.noConfirm;
    settings.thumbnailExt = m_settings.thumbnailExt;
    settings.media.DisableFilePolling = m_session.DisableFilePolling;
    settings.media.ReactivateDrives = m_session.ReactivateDrives;
    return settings;
}

void frmMOVEIT::MoveFile()
{
    const MoveOutcome outcome = m_engine.moveFile(lblFILENAME->text(), lblFROM->text(), lblTO->text(), moveSettings());
    if (outcome.kind == MoveOutcome::Moved) {
        lblNEWNAME->setText(outcome.newName);
        QDialog::done(QDialog::Accepted);
        return;
    }
    lblTO->setText(lblFROM->text());
    lblNEWNAME->setText(lblFILENAME->text());
}
