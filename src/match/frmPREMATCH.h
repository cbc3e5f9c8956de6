#pragma once

#include "match/FileConfirmer.h"
#include "platform/SystemVolumes.h"
#include "platform/Yielder.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class PrematchCycle;
class Prompter;
class QLabel;
class QPushButton;
class QTimer;
class SoundPlayer;
struct MainSettings;
struct Session;

// The pre-match window: a small progress window that runs the cycle on its first activation,
// offers Pause, Quit and Abort, and hands over to the search when it unloads.
class frmPREMATCH : public QDialog
{
    Q_OBJECT
public:
    frmPREMATCH(const MainSettings& settings, Session& session, const QString& programDirectory, Prompter& prompter,
        SoundPlayer& sound, QWidget* parent = nullptr);
    ~frmPREMATCH() override;

    PrematchCycle& cycle() { return *m_cycle; }
    // What Abort does after the cycle has saved its marks and position: by default the process
    // ends at once, without unloading any window.
    void setProgramEnd(std::function<void()> programEnd) { m_programEnd = std::move(programEnd); }
    // The cycle's count of matches found and records left, whole: a text wider than the label
    // goes on to a second line at the blanks between its two counts.
    void showFound(const QString& text);

    QLabel* lblFOUND = nullptr;
    QPushButton* cmdPAUSE = nullptr;
    QPushButton* cmdCANCEL = nullptr;
    QPushButton* cmdKILL = nullptr;
    QLabel* Image1 = nullptr;
    std::array<QLabel*, 5> imgPIC {};
    QTimer* tmrPICTURE = nullptr;

public Q_SLOTS:
    void Form_Activate();

private Q_SLOTS:
    void cmdPAUSE_Click();
    void cmdCANCEL_Click();
    void cmdKILL_Click();
    void tmrPICTURE_Timer();

public:
    // Escape asks to close, like the title bar.
    void reject() override { close(); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class View;

    void buildControls();
    void Form_Load();
    void Form_Unload();

    const MainSettings& m_settings;
    Session& m_session;
    EventLoopYielder m_yielder;
    SystemVolumes m_volumes;
    MediaFileConfirmer m_confirmer;
    std::unique_ptr<View> m_view;
    std::unique_ptr<PrematchCycle> m_cycle;
    std::function<void()> m_programEnd;
    bool m_firstActivation = false;
    bool m_unloaded = false;
};
