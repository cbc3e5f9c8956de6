#include "dialogs/frmFINDVIEW.h"

#include "dialogs/ProgramPicker.h"
#include "platform/DirectoryAccess.h"
#include "platform/Prompter.h"
#include "platform/TextLines.h"
#include "widgets/DirectoryBrowser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

frmFINDVIEW::frmFINDVIEW(const Volumes& volumes, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_volumes(volumes)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmFINDVIEW"));
    setWindowTitle(QStringLiteral("Find Launch Application"));
    setModal(true);
    buildControls();
    Form_Load();
}

void frmFINDVIEW::buildControls()
{
    // Light blue, on the window and the check box.
    setAutoFillBackground(true);
    QPalette blue = palette();
    blue.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xFF));
    setPalette(blue);

    txtFILENAME = new QLineEdit(this);
    txtFILENAME->setObjectName(QStringLiteral("txtFILENAME"));
    lstFILENAME = new QListWidget(this);
    lstFILENAME->setObjectName(QStringLiteral("lstFILENAME"));
    m_browser = new DirectoryBrowser(m_volumes, this);
    lstDIR = m_browser->directories();
    lstDRIVE = m_browser->drives();
    chkTYPE = new QCheckBox(QStringLiteral("Look for executable files"), this);
    chkTYPE->setObjectName(QStringLiteral("chkTYPE"));
    chkTYPE->setChecked(true);
    cmdACCEPT = new QPushButton(QStringLiteral("&Accept"), this);
    cmdACCEPT->setObjectName(QStringLiteral("cmdACCEPT"));
    cmdCANCEL = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCANCEL->setObjectName(QStringLiteral("cmdCANCEL"));
    cmdACCEPT->setAutoDefault(false);
    cmdCANCEL->setAutoDefault(false);

    // The design's arrangement: the box across the top, the files on the left, the directories
    // over the drives on the right, then the check box and the two buttons.
    auto* layout = new QGridLayout(this);
    layout->addWidget(txtFILENAME, 0, 0, 1, 2);
    layout->addWidget(lstFILENAME, 1, 0, 2, 1);
    layout->addWidget(lstDIR, 1, 1);
    layout->addWidget(lstDRIVE, 2, 1);
    layout->addWidget(chkTYPE, 3, 0, 1, 2);
    layout->addWidget(cmdACCEPT, 4, 0);
    layout->addWidget(cmdCANCEL, 4, 1);
    layout->setRowStretch(1, 1);
    lstFILENAME->setMinimumSize(240, 220);
    lstDIR->setMinimumSize(240, 180);

    connect(chkTYPE, &QCheckBox::toggled, this, &frmFINDVIEW::chkTYPE_Click);
    connect(m_browser, &DirectoryBrowser::driveChosen, this, &frmFINDVIEW::lstDRIVE_Change);
    connect(m_browser, &DirectoryBrowser::directoryChanged, this, &frmFINDVIEW::lstDIR_Change);
    connect(lstFILENAME, &QListWidget::itemClicked, this, &frmFINDVIEW::lstFILENAME_Click);
    connect(lstFILENAME, &QListWidget::itemDoubleClicked, this, &frmFINDVIEW::lstFILENAME_DblClick);
    connect(cmdACCEPT, &QPushButton::clicked, this, &frmFINDVIEW::cmdACCEPT_Click);
    connect(cmdCANCEL, &QPushButton::clicked, this, &frmFINDVIEW::cmdCANCEL_Click);
}

void frmFINDVIEW::Form_Load()
{
    const QString start = QDir::currentPath();
    m_browser->selectDriveOf(start);
    pointBrowserAt(start);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
}

std::optional<QString> frmFINDVIEW::pick()
{
    m_accepted.reset();
    exec();
    return m_accepted;
}

QString frmFINDVIEW::browserPath() const
{
    return m_browser->path();
}

void frmFINDVIEW::pointBrowserAt(const QString& path)
{
    m_browser->pointAt(path);
}

void frmFINDVIEW::refreshFiles()
{
    lstFILENAME->clear();
    lstFILENAME->addItems(pickerFiles(m_browser->path(), chkTYPE->isChecked()));
}

void frmFINDVIEW::chkTYPE_Click()
{
    refreshFiles();
}

void frmFINDVIEW::lstDRIVE_Change(const QString& mountPoint)
{
    if (canOpenDirectory(mountPoint)) {
        pointBrowserAt(mountPoint);
        return;
    }
    // The lists stay where they were, set again from that directory.
    lstDIR_Change();
    m_prompter.ask(Message {
        QStringLiteral("Device not responding..."), QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical, 1 });
}

void frmFINDVIEW::lstDIR_Change()
{
    // The new directory's list has nothing selected: the box names the directory alone.
    txtFILENAME->setText(joinPickerPath(m_browser->path(), QString()));
    refreshFiles();
}

void frmFINDVIEW::lstFILENAME_Click(QListWidgetItem* item)
{
    txtFILENAME->setText(joinPickerPath(m_browser->path(), item->text()));
}

void frmFINDVIEW::lstFILENAME_DblClick(QListWidgetItem* item)
{
    lstFILENAME_Click(item);
    cmdACCEPT_Click();
}

void frmFINDVIEW::cmdACCEPT_Click()
{
    const QString typed = txtFILENAME->text();
    if (textlines::holdsLineBreak(typed)) {
        // The settings file keeps the viewer on one line: a path of several lines is refused, the
        // box names the directory shown again, and the picker stays.
        txtFILENAME->setText(joinPickerPath(m_browser->path(), QString()));
        m_prompter.tell(
            textlines::lineBreakRefusal(textlines::settingLineBreakReason(QStringLiteral("viewer program")), { typed }),
            QStringLiteral("Tolq"), MsgIcon::Exclamation);
        return;
    }
    m_accepted = typed;
    QDialog::done(QDialog::Accepted);
}

void frmFINDVIEW::cmdCANCEL_Click()
{
    QDialog::done(QDialog::Rejected);
}
