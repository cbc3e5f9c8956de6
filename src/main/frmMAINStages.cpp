#include "main/frmMAINStages.h"

#include "main/frmMAIN.h"
#include "main/frmMAINSettingsWriter.h"
#include "main/frmRESUME.h"
#include "match/PrematchCycle.h"
#include "match/frmPREMATCH.h"
#include "platform/ExitStatus.h"
#include "review/pair/frmCHECKEM.h"
#include "review/snapshot/frmSNAPSHOT.h"
#include "scan/frmDIRLOOK.h"
#include "widgets/QtSoundPlayer.h"

#include <cstdio>
#include <cstdlib>

frmMAINStages::frmMAINStages()
    : m_sound(std::make_unique<QtSoundPlayer>())
{
}

frmMAINStages::~frmMAINStages() = default;

void frmMAINStages::showResumeDialog(frmMAIN& main)
{
    frmRESUME dialog(main.session(), main.volumes(), &main);
    dialog.exec();
}

QWidget* frmMAINStages::createPreScan(frmMAIN& main)
{
    auto* window = new frmDIRLOOK(main.settings(), main.session(), main.controller().programDirectory(),
        frmDIRLOOK::Services { main.prompter(), *m_sound, main.volumes() });
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Abort ends the program at once, leaving its state file for the next start.
    window->setEndProgram([this] { endProcess(ExitStatus::Aborted); });
    return window;
}

QWidget* frmMAINStages::createPreMatch(frmMAIN& main)
{
    auto* window = new frmPREMATCH(
        main.settings(), main.session(), main.controller().programDirectory(), main.prompter(), *m_sound);
    window->setProgramEnd([this] { endProcess(ExitStatus::Aborted); });
    return window;
}

QWidget* frmMAINStages::createReview(frmMAIN& main, bool snapshot)
{
    if (!m_settingsWriter)
        m_settingsWriter = std::make_unique<frmMAINSettingsWriter>(main);
    if (snapshot) {
        return new frmSNAPSHOT(main.settings(), main.session(), main.controller().programDirectory(),
            frmSNAPSHOT::Services {
                main.prompter(), *m_sound, main.volumes(), *m_settingsWriter, main.altViewer(), &main.moveDialog() },
            &main);
    }
    auto* window = new frmCHECKEM(main.settings(), main.session(), main.controller().programDirectory(),
        main.prompter(), *m_sound, *m_settingsWriter, &main);
    window->setMoveDialog(&main.moveDialog());
    return window;
}

void frmMAINStages::endDuringStage(QWidget& stage, ExitStatus status)
{
    if (auto* preMatch = qobject_cast<frmPREMATCH*>(&stage))
        preMatch->cycle().abortCycle();
    endProcess(status);
}

void frmMAINStages::endProcess(ExitStatus status)
{
    std::fflush(nullptr);
    std::_Exit(int(status));
}
