#pragma once

#include <QString>

// Whether a pair of locations ("[LABEL] /path/") involves the incoming-files directory:
// always true without one; otherwise either location equals it (single directory) or lies in
// or below it (tree mode). Blanks trimmed, case ignored.
bool InvolvesIFCD(const QString& firstLocation, const QString& secondLocation, const QString& txtIFCD, bool treeMode);
