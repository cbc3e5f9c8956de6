#include "main/frmMAINStages.h"

#include "main/frmCHECKEM.h"
#include "main/frmMAIN.h"
#include "main/frmRESUME.h"
#include "match/frmPREMATCH.h"
#include "review/snapshot/frmSNAPSHOT.h"
#include "scan/frmDIRLOOK.h"
#include "widgets/QtSoundPlayer.h"

namespace {

// The review's step rewrites the settings file through the main window.
class MainWindowSettingsWriter : public SettingsWriter
{
public:
    explicit MainWindowSettingsWriter(frmMAIN& main)
        : m_main(main)
    {
    }
    void writeSettings() override { m_main.WriteINI(); }

private:
    frmMAIN& m_main;
};

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
    return window;
}

QWidget* frmMAINStages::createPreMatch(frmMAIN& main)
{
    return new frmPREMATCH(
        main.settings(), main.session(), main.controller().programDirectory(), main.prompter(), *m_sound);
}

QWidget* frmMAINStages::createReview(frmMAIN& main, bool snapshot)
{
    const QString database = main.upkeep().listDatabasePath();
    if (snapshot) {
        if (!m_settingsWriter)
            m_settingsWriter = std::make_unique<MainWindowSettingsWriter>(main);
        return new frmSNAPSHOT(main.settings(), main.session(), main.controller().programDirectory(),
            frmSNAPSHOT::Services { main.prompter(), *m_sound, main.volumes(), *m_settingsWriter }, &main);
    }
    return new frmCHECKEM(main.session(), main.prompter(), &main, nullptr, database);
}
