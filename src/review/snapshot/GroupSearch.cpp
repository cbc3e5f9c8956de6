#include "review/snapshot/GroupSearch.h"

#include "catalogue/CatalogueReadScope.h"
#include "catalogue/SqlRecordSet.h"
#include "imagestats/InvolvesIFCD.h"
#include "match/FileConfirmer.h"
#include "match/MatchCursors.h"
#include "match/RuleSettings.h"
#include "platform/Prompter.h"

void tellNoMoreMatches(Prompter& prompter)
{
    prompter.tell(QStringLiteral("No more matches..."));
}

void loadReviewRecord(const SqlRecordSet& files, ImageFacts& slot, Prompter& prompter)
{
    if (files.isEof() || files.isBof()) {
        tellNoMoreMatches(prompter);
        ClearSlot(slot);
        return;
    }
    slot = factsOf(files.record());
}

GroupSearch::GroupSearch(
    SqlRecordSet& files, RecordPair& pair, ThumbnailSlots& thumbnails, Prompter& prompter, FileConfirmer& confirmer)
    : m_files(files)
    , m_pair(pair)
    , m_loader(files)
    , m_slots(thumbnails)
    , m_prompter(prompter)
    , m_confirmer(confirmer)
{
}

bool GroupSearch::verdict(bool firstPair, SearchDirection direction, ComparisonMode mode, const RuleSettings& rules)
{
    ImageFacts& reference = m_pair.reference;
    ImageFacts& candidate = m_pair.candidate;
    bool matched = ruleMatches(mode, reference, candidate, rules, direction);
    // A reference without colour statistics opens no group; members are not held to it.
    if (firstPair && (mode == ComparisonMode::AverageRgb || mode == ComparisonMode::QuadrantRgb)
        && !colourGuardPasses(reference))
        matched = false;
    // So far the slots need only the fields they are loaded with, and most neighbours are
    // turned down here; the rest of the verdict reads whole slots.
    if (!matched)
        return false;
    m_loader.complete(reference);
    m_loader.complete(candidate);
    matched = exclusivePasses(reference, candidate, rules);
    // Equal checksums are confirmed by the files' contents, read whole; last, as it is dear.
    if (matched && mode == ComparisonMode::Checksum && rules.softMatch)
        matched = m_confirmer.identical(reference, candidate);
    // One file reached by two paths is no duplicate of itself, and a group shows it once.
    return matched && (firstPair ? !isOneFile(reference, candidate) : !fileOnPage(m_slots, NextSlot - 1, candidate));
}

bool GroupSearch::groupInvolvesIfcd(const RuleSettings& rules, int lastSlot) const
{
    if (rules.ifcd.isEmpty())
        return true;
    for (int n = 0; n <= lastSlot && n < ThumbnailSlotCount; ++n) {
        const ImageFacts& slot = m_slots[std::size_t(n)];
        if (holdsFile(slot) && InvolvesIFCD(slot.fileLocation(), slot.fileLocation(), rules.ifcd, rules.treeModeIfcd))
            return true;
    }
    return false;
}

bool GroupSearch::find(SearchDirection direction, ComparisonMode mode, const RuleSettings& rules, int lastSlot)
{
    const bool forward = direction == SearchDirection::Forward;
    auto step = [&] { forward ? moveNextUntagged(m_files) : movePreviousUntagged(m_files); };
    auto atEnd = [&] { return forward ? m_files.isEof() : m_files.isBof(); };
    ImageFacts& reference = m_pair.reference;
    ImageFacts& candidate = m_pair.candidate;
    // One read of the catalogue for the whole search; records passed over are looked at for
    // the fields that decide a step, and the slots are made whole before they are handed out.
    CatalogueReadScope reads(m_files.database());
    SqlRecordSet::Walk walk(m_files);
    m_loader.start(mode, rules);
    auto load = [&](ImageFacts& slot) {
        if (m_files.hasCurrent())
            m_loader.load(slot);
        else
            loadReviewRecord(m_files, slot, m_prompter);
    };
    auto handOut = [&](bool found) {
        m_loader.complete(reference);
        m_loader.complete(candidate);
        return found;
    };

    clearSlots(m_slots);
    Matched = false;
    for (;;) {
        load(reference);
        if (!reference.isLive())
            step();
        if (atEnd()) {
            tellNoMoreMatches(m_prompter);
            return handOut(false);
        }
        load(reference);
        step();
        if (atEnd()) {
            tellNoMoreMatches(m_prompter);
            clearSlots(m_slots);
            return handOut(false);
        }
        load(candidate);
        Matched = verdict(true, direction, mode, rules);
        if (!Matched)
            continue; // the candidate becomes the next reference

        m_slots[0] = reference;
        m_slots[1] = candidate;
        NextSlot = 2;
        while (NextSlot <= lastSlot && Matched) {
            step();
            if (atEnd()) {
                forward ? m_files.moveLast() : m_files.moveFirst();
                break;
            }
            load(candidate);
            Matched = verdict(false, direction, mode, rules);
            if (Matched)
                m_slots[std::size_t(NextSlot++)] = candidate;
        }

        if (groupInvolvesIfcd(rules, lastSlot))
            return handOut(true);
        clearSlots(m_slots);
        Matched = false;
    }
}
