#include "main/frmMAINStages.h"

#include "main/frmMAIN.h"
#include "main/frmMAINSettingsWriter.h"
#include "main/frmRESUME.h"
#include "main/frmSNAPSHOT.h"
#include "match/frmPREMATCH.h"
#include "review/pair/frmCHECKEM.h"
#include "scan/frmDIRLOOK.h"
#include "widgets/QtSoundPlayer.h"

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
    return window;
}

QWidget* frmMAINStages::createPreMatch(frmMAIN& main)
{
    return new frmPREMATCH(
        main.settings(), main.session(), main.controller().programDirectory(), main.prompter(), *m_sound);
}

QWidget* frmMAINStages::createReview(frmMAIN& main, bool snapshot)
{
    if (snapshot)
        return new frmSNAPSHOT(main.session(), main.prompter(), &main, nullptr, main.upkeep().listDatabasePath());
    if (!m_settingsWriter)
        m_settingsWriter = std::make_unique<frmMAINSettingsWriter>(main);
    return new frmCHECKEM(main.settings(), main.session(), main.controller().programDirectory(), main.prompter(),
        *m_sound, *m_settingsWriter, &main);
}
