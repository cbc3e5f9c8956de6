#include "platform/Conventions.h"

#include <QHash>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace conv {

std::int64_t roundHalfEven(double value)
{
    return static_cast<std::int64_t>(std::nearbyint(value));
}

std::int64_t roundHalfEvenWithin(double value, std::int64_t low, std::int64_t high)
{
    if (std::isnan(value))
        return 0;
    return roundHalfEven(std::clamp(value, double(low), double(high)));
}

std::int32_t whole32(double value)
{
    return std::int32_t(
        roundHalfEvenWithin(value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

double val(const QString& text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    QByteArray number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        number += char(text[i++].toLatin1());
    bool digits = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        number += char(text[i++].toLatin1());
        digits = true;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        while (i < n && text[i].unicode() < 128 && text[i].isDigit()) {
            number += char(text[i++].toLatin1());
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    // An exponent counts only when digits follow it.
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        int j = i + 1;
        QByteArray exponent = "e";
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            exponent += char(text[j++].toLatin1());
        bool expDigits = false;
        while (j < n && text[j].unicode() < 128 && text[j].isDigit()) {
            exponent += char(text[j++].toLatin1());
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    // Read the same in every locale: strtod alone would take the user's decimal mark.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return strtod_l(number.constData(), nullptr, cLocale);
}

QString signedText(std::int64_t value)
{
    // Written in one go: a walk over the catalogue makes this text for every record.
    char text[24];
    char* end = text;
    if (value >= 0)
        *end++ = ' ';
    end = std::to_chars(end, text + sizeof text, value).ptr;
    return QString::fromLatin1(text, end - text);
}

static QString padded(std::int64_t value, int width)
{
    const QString digits = QString::number(value < 0 ? -value : value).rightJustified(width, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QString format000(std::int64_t value)
{
    return padded(value, 3);
}
QString format00(std::int64_t value)
{
    return padded(value, 2);
}

QString formatHashDecimals(double value)
{
    const bool negative = value < 0;
    const double hundredths = std::round(std::fabs(value) * 100.0);
    const auto whole = static_cast<std::int64_t>(hundredths / 100.0);
    const auto fraction = static_cast<int>(hundredths - double(whole) * 100.0);
    QString text = negative && hundredths > 0 ? QStringLiteral("-") : QString();
    if (whole != 0)
        text += QString::number(whole);
    text += QLatin1Char('.');
    if (fraction != 0) {
        QString f = QString::number(fraction).rightJustified(2, QLatin1Char('0'));
        if (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        text += f;
    }
    return text;
}

QString shortestDouble(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    // Written the same in every locale, as "%.15g" writes it in the C locale.
    char buffer[40];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    QString text = QString::fromLatin1(buffer, written.ptr - buffer);
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    return text;
}

namespace {

// Matches one bracketed list at pattern[p] (just past "["); returns the index after "]",
// or -1 when the bracket is not closed.
int matchBracket(const QString& pattern, int p, QChar c, bool* matched)
{
    bool negate = false;
    if (p < pattern.size() && pattern[p] == QLatin1Char('!')) {
        negate = true;
        ++p;
    }
    bool hit = false;
    bool first = true;
    while (p < pattern.size() && (first || pattern[p] != QLatin1Char(']'))) {
        first = false;
        QChar low = pattern[p];
        QChar high = low;
        if (p + 2 < pattern.size() && pattern[p + 1] == QLatin1Char('-') && pattern[p + 2] != QLatin1Char(']')) {
            high = pattern[p + 2];
            p += 3;
        } else {
            ++p;
        }
        if (low > high)
            std::swap(low, high);
        if (c >= low && c <= high)
            hit = true;
    }
    if (p >= pattern.size())
        return -1;
    *matched = hit != negate;
    return p + 1;
}

// Matches one pattern token at pattern[p] against c; sets *next past the token.
bool matchOne(QChar c, const QString& pattern, int p, int* next)
{
    const QChar pc = pattern[p];
    *next = p + 1;
    if (pc == QLatin1Char('?'))
        return true;
    if (pc == QLatin1Char('#'))
        return c.unicode() < 128 && c.isDigit();
    if (pc == QLatin1Char('[')) {
        bool matched = false;
        const int after = matchBracket(pattern, p + 1, c, &matched);
        if (after >= 0) {
            *next = after;
            return matched;
        }
        // An unclosed bracket matches itself.
    }
    return c == pc;
}

} // namespace

bool likeMatch(const QString& text, const QString& pattern)
{
    // Greedy walk with one backtrack point at the last "*": every other token matches exactly
    // one character, so this is exact and never exponential.
    int t = 0;
    int p = 0;
    int starP = -1;
    int starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = ++p;
            starT = t;
            continue;
        }
        int next = 0;
        if (p < pattern.size() && matchOne(text[t], pattern, p, &next)) {
            p = next;
            ++t;
            continue;
        }
        if (starP < 0)
            return false;
        p = starP;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

int localOffsetAt(QDate date, QTime time)
{
    thread_local QHash<qint64, int> offsets;
    const qint64 hourKey = date.toJulianDay() * 24 + time.hour();
    auto found = offsets.constFind(hourKey);
    if (found != offsets.constEnd())
        return found.value();
    if (offsets.size() > 100000)
        offsets.clear();
    const int offset = QDateTime(date, QTime(time.hour(), 0), Qt::LocalTime).offsetFromUtc();
    offsets.insert(hourKey, offset);
    return offset;
}

bool holdsLocalWallTime(const QDateTime& dateTime)
{
    // An offset of 0 is kept as UTC.
    const Qt::TimeSpec spec = dateTime.timeSpec();
    return spec == Qt::LocalTime
        || ((spec == Qt::OffsetFromUTC || spec == Qt::UTC)
            && dateTime.offsetFromUtc() == localOffsetAt(dateTime.date(), dateTime.time()));
}

QString dateKeyText(const QDateTime& dateTime)
{
    // Dates read from the catalogue carry the local offset already: no zone lookup for them.
    const QDateTime local = holdsLocalWallTime(dateTime) ? dateTime : dateTime.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    // Written by hand: a walk over the catalogue makes this text for every record.
    char text[48];
    int length = std::snprintf(text, sizeof text, "%d/%d/%04d", d.month(), d.day(), d.year());
    if (t.hour() != 0 || t.minute() != 0 || t.second() != 0) {
        const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
        length += std::snprintf(text + length, sizeof text - std::size_t(length), " %d:%02d:%02d %s", hour12,
            t.minute(), t.second(), t.hour() < 12 ? "AM" : "PM");
    }
    return QString::fromLatin1(text, length);
}

} // namespace conv
