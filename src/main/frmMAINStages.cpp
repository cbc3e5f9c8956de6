#include "main/frmMAINStages.h"

#include "main/frmCHECKEM.h"
#include "main/frmMAIN.h"
#include "main/frmRESUME.h"
#include "main/frmSNAPSHOT.h"
#include "match/frmPREMATCH.h"
#include "platform/ExitStatus.h"
#include "scan/frmDIRLOOK.h"
#include "widgets/QtSoundPlayer.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Abort ends the program at once, leaving its state file for the next start.
void endAfterAbort()
{
    std::fflush(nullptr);
    std::_Exit(int(ExitStatus::Aborted));
}

} // namespace

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
    window->setEndProgram(&endAfterAbort);
    return window;
}

QWidget* frmMAINStages::createPreMatch(frmMAIN& main)
{
    auto* window = new frmPREMATCH(
        main.settings(), main.session(), main.controller().programDirectory(), main.prompter(), *m_sound);
    window->setProgramEnd(&endAfterAbort);
    return window;
}

QWidget* frmMAINStages::createReview(frmMAIN& main, bool snapshot)
{
    const QString database = main.upkeep().listDatabasePath();
    if (snapshot)
        return new frmSNAPSHOT(main.session(), main.prompter(), &main, nullptr, database);
    return new frmCHECKEM(main.session(), main.prompter(), &main, nullptr, database);
}
