#pragma once

#include "scan/PreScanEngine.h"
#include "scan/PreScanView.h"

#include <QPixmap>
#include <QRandomGenerator>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTimer;
class ImageBox;
class Prompter;
class SoundPlayer;
class Volumes;
class Yielder;

// The pre-scan's progress window. Its first activation runs the pre-scan, which ends by
// unloading the window; Quit, Pause and Abort act at the run's yields. Closing it mid-run is a
// Quit: the window unloads when the run returns.
class frmDIRLOOK : public QWidget, private PreScanView
{
    Q_OBJECT
public:
    struct Services
    {
        Prompter& prompter;
        SoundPlayer& sound;
        const Volumes& volumes;
        Yielder* yielder = nullptr; // null: the event loop's
        int threads = 0;
    };

    frmDIRLOOK(const MainSettings& settings, Session& session, const QString& programDirectory, Services services,
        QWidget* parent = nullptr);
    ~frmDIRLOOK() override;

    PreScanEngine& engine() { return *m_engine; }
    // What Abort does after committing: end the program. Replaceable for tests.
    void setEndProgram(std::function<void()> endProgram) { m_endProgram = std::move(endProgram); }
    bool isUnloaded() const { return m_unloaded; }

    // Controls, under their own names.
    QLabel* lblDIRECTORY = nullptr;
    QLabel* lblNUMBER = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cmdCANCEL = nullptr;
    QPushButton* cmdPAUSE = nullptr;
    QPushButton* cmdKILL = nullptr;
    QLabel* imgDRIVE = nullptr;
    QTimer* tmrDRIVE = nullptr;
    ImageBox* Picture2 = nullptr;

Q_SIGNALS:
    // The window has unloaded; SearchUnloaded is set.
    void unloaded();

public Q_SLOTS:
    void Form_Activate();

private Q_SLOTS:
    void cmdCANCEL_Click();
    void cmdPAUSE_Click();
    void cmdKILL_Click();
    void tmrDRIVE_Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // PreScanView
    void showDirectory(const QString& text) override;
    void showNumber(const QString& text) override;
    void showCaption(const QString& caption) override;
    bool isMinimized() const override;
    void showPreviewInsteadOfAnimation() override;
    bool wantsPreview() const override { return true; }
    void showPreview(const QImage& preview) override;

    void Form_Load();
    void Form_Unload();
    void buildControls();
    void endAfterAbort();

    Session& m_session;
    std::unique_ptr<Yielder> m_ownYielder;
    std::unique_ptr<PreScanEngine> m_engine;
    std::function<void()> m_endProgram;
    std::array<QPixmap, 3> m_driveFrames; // imgDRIVE1 to imgDRIVE3
    QRandomGenerator m_random;
    int m_driveFrame = 1;
    bool m_firstActivation = true;
    bool m_unloaded = false;
    bool m_aborted = false;
};
