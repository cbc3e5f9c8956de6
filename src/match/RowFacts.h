#pragma once

#include "match/ImageFacts.h"

#include <cstdint>
#include <optional>

class CatalogueDatabase;

// A slot read afresh from its row: nothing when the row is gone.
std::optional<ImageFacts> factsOfRow(CatalogueDatabase& database, std::int64_t rowId);
