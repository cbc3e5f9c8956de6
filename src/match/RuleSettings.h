#pragma once

#include <QString>

struct MainSettings;

// The switches the match rules read for a comparison: soft matching, ignore extension,
// exclusive directories, the incoming-files directory and the tolerance (a whole number).
struct RuleSettings
{
    bool softMatch = false; // chkSOFTMATCH
    bool ignoreExtension = false; // chkIGNORE
    bool exclusive = false; // chkEXCLUSIVE
    QString ifcd; // txtIFCD
    bool treeModeIfcd = false; // chkTREEMODEIFCD
    int tolerance = 0; // txtTOLERANCE, rounded halves to even

    static RuleSettings from(const MainSettings& settings);
};
