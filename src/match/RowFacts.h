#pragma once

#include "catalogue/CatalogueRecord.h"
#include "match/ImageFacts.h"

#include <cstdint>
#include <optional>

class CatalogueDatabase;

// A row read afresh by its row id: nothing when the row is gone.
std::optional<CatalogueRecord> recordOfRow(CatalogueDatabase& database, std::int64_t rowId);
// The same as a slot.
std::optional<ImageFacts> factsOfRow(CatalogueDatabase& database, std::int64_t rowId);
// Only the given fields of the row, as a partial slot: for checks that read no more.
std::optional<ImageFacts> factsOfRow(
    CatalogueDatabase& database, std::int64_t rowId, CatalogueFields::FieldMask fields);
