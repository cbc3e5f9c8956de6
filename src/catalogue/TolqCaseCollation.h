#pragma once

struct sqlite3;

// The text order of the catalogue: case-insensitive and Unicode-aware, as the original engine
// compared names. Registered on every connection under the name the schema uses.
namespace TolqCaseCollation {

inline constexpr const char* Name = "TOLQCASE";

// Compares two UTF-8 texts without regard to case: <0, 0 or >0. Pure ASCII takes a fast path
// that allocates nothing; the result equals QString::compare(..., Qt::CaseInsensitive).
int compareUtf8(const char* a, int lengthA, const char* b, int lengthB);

// Registers the collation on a connection; false when SQLite refuses it.
bool registerOn(sqlite3* connection);

} // namespace TolqCaseCollation
