#include "main/frmMAINStages.h"

#include "main/frmCHECKEM.h"
#include "main/frmMAIN.h"
#include "main/frmPREMATCH.h"
#include "main/frmRESUME.h"
#include "main/frmSNAPSHOT.h"

void frmMAINStages::showResumeDialog(frmMAIN& main)
{
    frmRESUME dialog(main.session(), main.volumes(), &main);
    dialog.exec();
}

QWidget* frmMAINStages::createPreScan(frmMAIN& main)
{
    Q_UNUSED(main);
    // No pre-scan window in this build: the search goes straight on.
    return nullptr;
}

QWidget* frmMAINStages::createPreMatch(frmMAIN& main)
{
    return new frmPREMATCH(main.session(), main.controller().programDirectory());
}

QWidget* frmMAINStages::createReview(frmMAIN& main, bool snapshot)
{
    const QString database = main.upkeep().listDatabasePath();
    if (snapshot)
        return new frmSNAPSHOT(main.session(), main.prompter(), &main, nullptr, database);
    return new frmCHECKEM(main.session(), main.prompter(), &main, nullptr, database);
}
