#include "main/frmFINDIT.h"

#include "main/DirectoryAdder.h"
#include "platform/Conventions.h"
#include "platform/Prompter.h"
#include "platform/Volumes.h"
#include "platform/Yielder.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

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
    lstDRIVE = new QComboBox;
    lstDRIVE->setObjectName(QStringLiteral("lstDRIVE"));
    QList<VolumeInfo> mounted = m_volumes.mounted();
    std::sort(mounted.begin(), mounted.end(),
        [](const VolumeInfo& a, const VolumeInfo& b) { return a.mountPoint < b.mountPoint; });
    for (const VolumeInfo& volume : mounted) {
        if (lstDRIVE->findData(volume.mountPoint) < 0)
            lstDRIVE->addItem(volume.mountPoint + QStringLiteral("  ") + volumeTag(volume), volume.mountPoint);
    }
    layout->addWidget(lstDRIVE);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
    m_model->setRootPath(QStringLiteral("/"));
    lstDIR = new QTreeView;
    lstDIR->setObjectName(QStringLiteral("lstDIR"));
    lstDIR->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        lstDIR->hideColumn(column);
    lstDIR->header()->hide();
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
    connect(lstDRIVE, &QComboBox::activated, this, &frmFINDIT::lstDRIVE_Change);
    connect(lstDIR->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (m_pointing || !current.isValid())
            return;
        m_path = m_model->filePath(current);
        lstDIR_Change();
    });
}

void frmFINDIT::Form_Load()
{
    // The bottom-right corner sits 100 twips inside the main window's.
    adjustSize();
    if (const QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
        const QRect frame = main->frameGeometry();
        const int inset = conv::twipsToPixels(100);
        move(frame.x() + frame.width() - frameGeometry().width() - inset,
            frame.y() + frame.height() - frameGeometry().height() - inset);
    }

    const QString start = DirectoryAdder::startDirectory(m_session.LastDirUsed, m_volumes);
    const QString mountPoint = m_volumes.volumeFor(start).mountPoint;
    int drive = lstDRIVE->findData(mountPoint);
    if (drive < 0 && !mountPoint.isEmpty()) {
        lstDRIVE->addItem(mountPoint, mountPoint);
        drive = lstDRIVE->count() - 1;
    }
    lstDRIVE->setCurrentIndex(drive);
    pointBrowserAt(start);
}

void frmFINDIT::pointBrowserAt(const QString& path)
{
    m_path = path;
    const QModelIndex index = m_model->index(path);
    if (index.isValid()) {
        m_pointing = true;
        for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
            lstDIR->expand(parent);
        lstDIR->setCurrentIndex(index);
        lstDIR->scrollTo(index);
        m_pointing = false;
    }
    lstDIR_Change();
}

void frmFINDIT::lstDIR_Change()
{
    lblDIR->setText(m_path);
}

void frmFINDIT::lstDRIVE_Change(int index)
{
    const QString root = lstDRIVE->itemData(index).toString();
    if (!DirectoryAdder::canOpen(root)) {
        m_prompter.ask(Message { QStringLiteral("Device not responding..."), QStringLiteral("Error"), MsgButtons::Ok,
            MsgIcon::Critical, 1 });
        return;
    }
    pointBrowserAt(root);
}

void frmFINDIT::cmdADDDIR_Click()
{
    DirectoryAdder(m_settings, m_volumes).addDirectory(m_path);
}

void frmFINDIT::setWalking(bool walking)
{
    m_walking = walking;
    for (QWidget* control :
        std::initializer_list<QWidget*> { cmdCANCEL, cmdADDDIR, cmdADDTREE, cmdIFCD, cmdIFCDTREE, lstDRIVE, lstDIR })
        control->setEnabled(!walking);
}

void frmFINDIT::cmdADDTREE_Click()
{
    if (m_walking)
        return;
    setWalking(true);
    const QString top = m_path;
    EventLoopYielder yielder;
    DirectoryAdder(m_settings, m_volumes).addTree(top, yielder, [this](const QString& path) { lblDIR->setText(path); });
    pointBrowserAt(top);
    setWalking(false);
}

void frmFINDIT::cmdIFCD_Click()
{
    DirectoryAdder(m_settings, m_volumes).setIfcd(m_path);
}

void frmFINDIT::cmdIFCDTREE_Click()
{
    cmdADDTREE_Click();
    m_settings.ifcd = DirectoryAdder(m_settings, m_volumes).entryFor(m_path);
    m_settings.treeModeIfcd = true;
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
    m_session.LastDirUsed = m_path;
}
