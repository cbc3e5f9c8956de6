#include "match/RuleSettings.h"

#include "session/MainSettings.h"

RuleSettings RuleSettings::from(const MainSettings& settings)
{
    RuleSettings rules;
    rules.softMatch = settings.softMatch;
    rules.ignoreExtension = settings.ignoreExtension;
    rules.exclusive = settings.exclusive;
    rules.ifcd = settings.ifcd;
    rules.treeModeIfcd = settings.treeModeIfcd;
    rules.tolerance = settings.toleranceValue();
    return rules;
}
