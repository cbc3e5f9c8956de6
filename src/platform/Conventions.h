#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

// The program's text and number conventions, written once and used everywhere.
namespace conv {

// Nearest integer, halves to the even neighbour.
std::int64_t roundHalfEven(double value);
// The same within [low, high]: a number beyond a bound is held at it; NaN gives 0.
std::int64_t roundHalfEvenWithin(double value, std::int64_t low, std::int64_t high);
// A whole number of 32 bits, as the catalogue's record numbers are held.
std::int32_t whole32(double value);
// The leading number of a typed text: blanks, sign, digits, point, exponent; nothing gives 0.
double val(const QString& text);
// Integer text with a leading sign position: " 512", "-7".
QString signedText(std::int64_t value);
// Format "000": at least three digits.
QString format000(std::int64_t value);
// Format "00": at least two digits.
QString format00(std::int64_t value);
// Format "###.##": up to two decimals, no trailing zeros, a point always shown ("12.", "3.5", ".25").
QString formatHashDecimals(double value);
// Shortest text of a double with at most 15 significant digits; exponent form from 1E15 ("1.5E+15").
QString shortestDouble(double value);
// Wildcard match of a name filter: "*", "?", "#" (a digit), "[list]", "[a-z]", "[!list]".
bool likeMatch(const QString& text, const QString& pattern);
// Record key date text: "M/D/YYYY h:mm:ss AM|PM" in local time; exactly midnight gives the date alone.
QString dateKeyText(const QDateTime& dateTime);
// The local time zone's offset from UTC, in seconds, at a local wall time (to the hour). Asking
// the C library costs more than reading a catalogue row; the answers are kept.
int localOffsetAt(QDate date, QTime time);
// Whether a date-time already holds local wall time: local, or carrying the local offset.
bool holdsLocalWallTime(const QDateTime& dateTime);
// Unicode-aware upper case.
inline QString upper(const QString& s)
{
    return s.toUpper();
}

constexpr int TwipsPerPixel = 15;
constexpr int twipsToPixels(int twips)
{
    return twips / TwipsPerPixel;
}
constexpr int pixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

} // namespace conv
