#include "catalogue/TolqCaseCollation.h"

#include <QString>
#include <sqlite3.h>

namespace TolqCaseCollation {

namespace {

// ASCII case folding as Unicode folds it: upper-case letters become lower case, so the
// fast path orders "_" before "a" exactly as the full comparison does.
inline unsigned char foldAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

int sign(qsizetype v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

int collate(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    return compareUtf8(static_cast<const char*>(a), lengthA, static_cast<const char*>(b), lengthB);
}

} // namespace

int compareUtf8(const char* a, int lengthA, const char* b, int lengthB)
{
    const auto* ua = reinterpret_cast<const unsigned char*>(a);
    const auto* ub = reinterpret_cast<const unsigned char*>(b);
    const int common = lengthA < lengthB ? lengthA : lengthB;
    int i = 0;
    for (; i < common; ++i) {
        const unsigned char ca = ua[i];
        const unsigned char cb = ub[i];
        if ((ca | cb) & 0x80)
            break;
        if (ca != cb) {
            const unsigned char fa = foldAscii(ca);
            const unsigned char fb = foldAscii(cb);
            if (fa != fb)
                return fa < fb ? -1 : 1;
        }
    }
    if (i == common)
        return sign(qsizetype(lengthA) - lengthB);
    // Both prefixes up to i are ASCII and equal without regard to case, so i is a character
    // boundary in both texts: only the tails need the full comparison.
    const QString tailA = QString::fromUtf8(a + i, lengthA - i);
    const QString tailB = QString::fromUtf8(b + i, lengthB - i);
    return sign(QString::compare(tailA, tailB, Qt::CaseInsensitive));
}

bool registerOn(sqlite3* connection)
{
    return sqlite3_create_collation_v2(connection, Name, SQLITE_UTF8, nullptr, &collate, nullptr) == SQLITE_OK;
}

} // namespace TolqCaseCollation
