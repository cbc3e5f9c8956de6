#include "main/frmMAIN.h"

#include "dialogs/frmALTVIEW.h"
#include "dialogs/frmMOVEIT.h"
#include "imagestats/ScreenColours.h"
#include "main/DirectoryAdder.h"
#include "main/DirectoryListEditor.h"
#include "main/frmABOUT.h"
#include "main/frmCOMPACT.h"
#include "main/frmFINDIT.h"
#include "main/frmLOADSAVE.h"
#include "main/frmMAINStages.h"
#include "main/frmSTATS.h"
#include "platform/HelpFile.h"
#include "platform/Prompter.h"
#include "platform/SystemVolumes.h"
#include "platform/TextLines.h"
#include "session/SettingsTable.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTimer>

frmMAIN::frmMAIN(Prompter& prompter, const QString& programDirectory, const QString& commandLine, QWidget* parent)
    : QMainWindow(parent)
    , m_controller(programDirectory, prompter)
    , m_prompter(prompter)
    , m_commandLine(CommandLine::parse(commandLine))
    , m_upkeep(std::make_unique<ListDatabaseUpkeep>(m_controller, prompter, static_cast<CompactionNotice&>(*this)))
    , m_search(std::make_unique<SearchControl>(m_controller, prompter, *m_upkeep, static_cast<SearchHost&>(*this)))
    , m_ownStages(std::make_unique<frmMAINStages>())
    , m_stages(m_ownStages.get())
{
    setObjectName(QStringLiteral("frmMAIN"));
    setWindowTitle(QStringLiteral("t'olq!"));
    buildControls();
    wireHandlers();
    auto* help = new QAction(this);
    help->setShortcut(QKeySequence::HelpContents);
    connect(help, &QAction::triggered, this, &frmMAIN::cmdHELP_Click);
    addAction(help);
    Form_Load();
}

frmMAIN::~frmMAIN()
{
    // The windows of a search do not outlive the window that showed them.
    delete m_review.data();
    delete m_stageWindow.data();
    delete m_compactNotice.data();
}

void frmMAIN::Form_Load()
{
    // The animation and the sound choice draw from it.
    m_random.seed(quint32(QDateTime::currentMSecsSinceEpoch()));
    const ProgramOutcome outcome = m_controller.load();
    showSettings();
    placeWindow();
    m_altView = new frmALTVIEW(session(), volumes(), prompter(), this);
    if (outcome == ProgramOutcome::EndProgram)
        endProgram();
}

void frmMAIN::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The program showing the window activates it (start-up, a review closing); restoring it from
    // the task bar does not. Activation runs after the window is up and may run a whole search.
    if (!event->spontaneous())
        QTimer::singleShot(0, this, &frmMAIN::Form_Activate);
}

void frmMAIN::closeEvent(QCloseEvent* event)
{
    // Closing the window skips Quit's steps; only the unload work runs.
    Form_Unload();
    QMainWindow::closeEvent(event);
}

void frmMAIN::Form_Activate()
{
    if (m_ended)
        return;
    const ProgramOutcome outcome = m_controller.activate(*this, m_commandLine);
    if (outcome == ProgramOutcome::EndProgram || m_ended) {
        endProgram();
        return;
    }
    Timer3->start();
}

void frmMAIN::Form_Unload()
{
    if (m_altView)
        m_altView->close();
}

void frmMAIN::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    Timer1->stop();
    Timer2->stop();
    Timer3->stop();
    Form_Unload();
    hide();
    Q_EMIT programEnds();
}

ProgramOutcome frmMAIN::WriteINI()
{
    const ProgramOutcome outcome = m_controller.writeINI();
    if (outcome == ProgramOutcome::EndProgram)
        endProgram();
    return outcome;
}

void frmMAIN::SaveList(const QString& name)
{
    m_controller.saveList(name);
    showSettings();
}

void frmMAIN::LoadList(const QString& name)
{
    m_controller.loadList(name);
    showSettings();
}

void frmMAIN::setStartupHooks(std::function<void()> checkDiskSpace, std::function<void()> buildOrientationTable)
{
    m_checkDiskSpace = std::move(checkDiskSpace);
    m_buildOrientationTable = std::move(buildOrientationTable);
}

void frmMAIN::showSettings()
{
    // The controller already applied what the change handlers do; the controls only follow.
    const MainSettings s = settings();
    m_applyingSettings = true;
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QObject* child : findChildren<QWidget*>())
        blockers.push_back(std::make_unique<QSignalBlocker>(child));
    for (const auto& [row, control] : m_settingControls) {
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            button->setChecked(settingstable::ticked(*row, s, session()));
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->setText(settingstable::text(*row, s, session()));
        else if (auto* label = qobject_cast<QLabel*>(control))
            label->setText(settingstable::text(*row, s, session()));
    }
    lstDIRECTORIES->clear();
    lstDIRECTORIES->addItems(s.directories);
    blockers.clear();
    m_applyingSettings = false;
}

bool frmMAIN::searchRunning() const
{
    return m_search->searchRunning();
}

bool frmMAIN::takeControlValues()
{
    if (m_applyingSettings)
        return false;
    // The search reads the settings as it goes: a control changed under it is put back.
    if (searchRunning()) {
        showSettings();
        return false;
    }
    MainSettings& s = settings();
    for (const auto& [row, control] : m_settingControls) {
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            settingstable::setTicked(*row, button->isChecked(), s, session());
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            settingstable::setText(*row, edit->text(), s, session());
        else if (auto* label = qobject_cast<QLabel*>(control))
            settingstable::setText(*row, label->text(), s, session());
    }
    s.directories.clear();
    for (int i = 0; i < lstDIRECTORIES->count(); ++i)
        s.directories << lstDIRECTORIES->item(i)->text();
    return true;
}

// Change-flag handlers: the search no longer fits a stored resume point.
void frmMAIN::markChanged()
{
    session().ChangedSearch = true;
}

void frmMAIN::chkSETTING_Click(const settingstable::Row& row)
{
    if (takeControlValues() && row.marksChange)
        markChanged();
}

// A mode choice clears soft matching. Only the newly selected button acts.
void frmMAIN::optMODE_Click(bool selected)
{
    if (!takeControlValues() || !selected)
        return;
    markChanged();
    chkSOFTMATCH->setChecked(false);
}

namespace {

// The focus going to another window (a message box, another program) or to the box's own menu is
// not the user leaving the box.
bool leftWithinTheWindow(const QFocusEvent& event)
{
    return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}

} // namespace

bool frmMAIN::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && !searchRunning()) {
        if (watched == txtFILTER)
            txtFILTER_LostFocus();
        else if (watched == txtTHUMBNAILEXT)
            txtTHUMBNAILEXT_LostFocus();
        else if (watched == txtTOLERANCE)
            txtTOLERANCE_LostFocus();
        else if (watched == txtIFCD && leftWithinTheWindow(static_cast<const QFocusEvent&>(*event)))
            txtIFCD_LostFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

bool frmMAIN::keepsOneLine(QLineEdit* box, const QString& held, const QString& reason)
{
    const QString typed = box->text();
    if (!textlines::holdsLineBreak(typed))
        return true;
    // Put back before the message box takes the focus, which would come here again.
    box->setText(held);
    m_prompter.tell(textlines::lineBreakRefusal(reason, { typed }), QStringLiteral("Tolq"), MsgIcon::Exclamation);
    return false;
}

bool frmMAIN::keepsOneLine(QLineEdit* box, const QString& what)
{
    for (const auto& [row, control] : m_settingControls) {
        if (control == box)
            return keepsOneLine(
                box, settingstable::text(*row, settings(), session()), textlines::settingLineBreakReason(what));
    }
    return true;
}

void frmMAIN::txtFILTER_LostFocus()
{
    markChanged();
    if (keepsOneLine(txtFILTER, QStringLiteral("file filter")))
        txtFILTER->setText(normaliseFilter(txtFILTER->text()));
}

void frmMAIN::txtTHUMBNAILEXT_LostFocus()
{
    if (keepsOneLine(txtTHUMBNAILEXT, QStringLiteral("thumbnail file extension")))
        txtTHUMBNAILEXT->setText(normaliseThumbnailExt(txtTHUMBNAILEXT->text()));
}

void frmMAIN::txtTOLERANCE_LostFocus()
{
    if (!keepsOneLine(txtTOLERANCE, QStringLiteral("tolerance")))
        return;
    txtTOLERANCE->setText(normaliseTolerance(txtTOLERANCE->text()));
    if (chkPREMATCH->isChecked())
        markChanged();
}

void frmMAIN::txtIFCD_LostFocus()
{
    keepsOneLine(txtIFCD, settings().ifcd, DirectoryAdder::lineBreakReason(1));
}

void frmMAIN::cmdQUIT_Click()
{
    m_controller.quit(*this);
    m_search->programEnds();
    endProgram();
}

void frmMAIN::cmdHELP_Click()
{
    openHelp();
}

void frmMAIN::cmdABOUT_Click()
{
    frmABOUT about(this);
    about.exec();
    Form_Activate();
}

frmMOVEIT& frmMAIN::moveDialog()
{
    if (!m_moveIt)
        m_moveIt = new frmMOVEIT(settings(), session(), volumes(), prompter(), this);
    return *m_moveIt;
}

const Volumes& frmMAIN::volumes()
{
    if (!m_volumes) {
        m_systemVolumes = std::make_unique<SystemVolumes>();
        m_volumes = m_systemVolumes.get();
    }
    return *m_volumes;
}

void frmMAIN::cmdADD_Click()
{
    session().ChangedSearch = true;
    {
        frmFINDIT finder(settings(), session(), volumes(), m_prompter, this);
        connect(&finder, &frmFINDIT::listChanged, this, &frmMAIN::showDirectoryList);
        finder.exec();
    }
    showSettings();
    // Saved whether or not anything was added.
    if (settings().saveList)
        SaveList(settings().listName);
    Form_Activate();
}

void frmMAIN::cmdLOAD_Click()
{
    session().ChangedSearch = true;
    showListDialog(QStringLiteral("Load"));
}

void frmMAIN::cmdSAVE_Click()
{
    showListDialog(QStringLiteral("Save"));
}

void frmMAIN::showListDialog(const QString& action)
{
    frmLOADSAVE dialog(
        m_controller.listFiles().dataDirectory(), m_prompter, [this](const QString& name) { LoadList(name); },
        [this](const QString& name) { SaveList(name); }, this);
    dialog.cmdACTION->setText(action);
    dialog.exec();
    Form_Activate();
}

void frmMAIN::cmdCLEAR_Click()
{
    DirectoryListEditor editor(settings(), session(), m_prompter, [this](const QString& name) { SaveList(name); });
    editor.clear();
    showSettings();
}

void frmMAIN::cmdDELETE_Click()
{
    QList<int> selected;
    for (int i = 0; i < lstDIRECTORIES->count(); ++i) {
        if (lstDIRECTORIES->item(i)->isSelected())
            selected << i;
    }
    DirectoryListEditor editor(settings(), session(), m_prompter, [this](const QString& name) { SaveList(name); });
    editor.deleteSelected(selected);
    showSettings();
}

void frmMAIN::Timer3_Timer()
{
    const int draw = int(m_random.generateDouble() * 8 + 1);
    if (draw == 1)
        Timer1->start();
    else if (draw == 2)
        Timer2->start();
}

void frmMAIN::Timer1_Timer()
{
    if (const std::optional<int> frame = m_leftBlink.tick())
        imgLEFTEYES->setPixmap(imgLEFT[std::size_t(*frame)]);
    else
        Timer1->stop();
}

void frmMAIN::Timer2_Timer()
{
    if (const std::optional<int> frame = m_rightBlink.tick())
        imgRIGHTEYES->setPixmap(imgRIGHT[std::size_t(*frame)]);
    else
        Timer2->stop();
}

void frmMAIN::yieldOnce()
{
    QCoreApplication::processEvents();
}

void frmMAIN::checkDiskSpace()
{
    if (m_checkDiskSpace)
        m_checkDiskSpace();
}

void frmMAIN::buildOrientationTable()
{
    if (m_buildOrientationTable)
        m_buildOrientationTable();
}

qint64 frmMAIN::screenColours()
{
    return qint64(std::min(ScreenColours(), 0x1p62));
}

ProgramOutcome frmMAIN::pressGo()
{
    showSettings();
    cmdGO_Click();
    return m_ended ? ProgramOutcome::EndProgram : ProgramOutcome::Continue;
}

void frmMAIN::openHelp()
{
    openHelpFile(m_controller.stateFile(QStringLiteral("tolq.hlp")));
}

void frmMAIN::settingsChanged()
{
    showSettings();
}

StatsAnswer frmMAIN::showStatistics(const QString& text)
{
    frmSTATS stats(text, this);
    return stats.showModal();
}
