#pragma once

#include "catalogue/CatalogueFields.h"
#include "match/ImageFacts.h"
#include "session/ComparisonMode.h"

class SqlRecordSet;
struct RuleSettings;

// Loads the slots of a mode-ordered walk from its cursor. Most records a walk lands on are
// passed over on the strength of a few fields (RTAG and what the mode's rule reads), which the
// walk's record set holds in memory (see buildModeRecordSource); so a slot is first loaded with
// those, marked partial, and made whole, from its row, only when a pair passes the rule or the
// walk hands the slot out.
//
// Within one walk (between start() calls) a landing is looked at once: loading the record
// under the cursor into a second slot copies the first. A record made whole under the cursor
// serves the next walk too while the cursor stays on it and its row is not written (a write
// makes a new landing, see SqlRecordSet::landing).
class StepLoader
{
public:
    explicit StepLoader(SqlRecordSet& files);

    // The fields that decide a step in a mode: RTAG, RECNUM and the fields of the mode's rule,
    // under the settings or, without them, under any.
    static CatalogueFields::FieldMask fieldsFor(ComparisonMode mode, const RuleSettings& settings);
    static CatalogueFields::FieldMask fieldsFor(ComparisonMode mode);

    // A walk in a mode begins.
    void start(ComparisonMode mode, const RuleSettings& settings);
    // The record under the cursor into a slot, at least with the fields that decide a step.
    void load(ImageFacts& slot);
    // A partial slot made whole from its row; a whole slot is left as it is.
    void complete(ImageFacts& slot);

private:
    void keepWhole(const ImageFacts& slot, quint64 landing);

    SqlRecordSet& m_files;
    CatalogueFields::FieldMask m_fields = 0;
    ImageFacts* m_loaded = nullptr; // the slot loaded at this landing
    quint64 m_landing = 0;
    ImageFacts m_whole; // the record under the cursor, made whole at this landing
    quint64 m_wholeLanding = 0;
};
