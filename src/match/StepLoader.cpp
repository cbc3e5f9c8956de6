#include "match/StepLoader.h"

#include "catalogue/CatalogueRecord.h"
#include "catalogue/SqlRecordSet.h"
#include "match/MatchRules.h"

StepLoader::StepLoader(SqlRecordSet& files)
    : m_files(files)
{
}

CatalogueFields::FieldMask StepLoader::fieldsFor(ComparisonMode mode, const RuleSettings& settings)
{
    using namespace CatalogueFields;
    return bit(RTAG) | bit(RECNUM) | ruleFields(mode, settings);
}

CatalogueFields::FieldMask StepLoader::fieldsFor(ComparisonMode mode)
{
    using namespace CatalogueFields;
    return bit(RTAG) | bit(RECNUM) | ruleFields(mode);
}

void StepLoader::start(ComparisonMode mode, const RuleSettings& settings)
{
    m_fields = fieldsFor(mode, settings);
    m_loaded = nullptr;
}

void StepLoader::load(ImageFacts& slot)
{
    const quint64 landing = m_files.landing();
    if (m_loaded && m_landing == landing) {
        // Two partial slots differ only in the fields loaded.
        if (m_loaded != &slot && m_loaded->partial && slot.partial)
            copyFacts(slot, *m_loaded, m_fields);
        else if (m_loaded != &slot)
            slot = *m_loaded;
        return;
    }
    if (m_wholeLanding == landing) {
        slot = m_whole;
    } else {
        bool whole = false;
        const CatalogueRecord& record = m_files.recordWith(m_fields, &whole);
        slot = whole ? factsOf(record) : factsOf(record, m_fields);
        slot.partial = !whole;
        if (whole)
            keepWhole(slot, landing);
    }
    m_landing = landing;
    m_loaded = &slot;
}

void StepLoader::keepWhole(const ImageFacts& slot, quint64 landing)
{
    m_whole = slot;
    m_wholeLanding = landing;
}

void StepLoader::complete(ImageFacts& slot)
{
    if (!slot.partial)
        return;
    const bool underCursor
        = m_files.hasCurrent() && m_landing == m_files.landing() && m_loaded && slot.rowId == m_loaded->rowId;
    slot = factsOf(underCursor ? m_files.record() : m_files.readRow(slot.rowId));
    if (underCursor) {
        m_loaded = &slot;
        keepWhole(slot, m_landing);
    }
}
