#include "imagestats/PatternBits.h"

std::optional<PatternBits> PatternBits::fromText(const QString& text)
{
    if (text.size() != 100)
        return std::nullopt;
    // Without a branch per cell: every pattern of a walk is read this way.
    const QChar* cells = text.constData();
    PatternBits bits;
    bool plain = true;
    for (int i = 0; i < 100; ++i) {
        const char16_t c = cells[i].unicode();
        const quint64 dark = c == u'*';
        plain &= dark || c == u' ';
        if (i < 64)
            bits.lo |= dark << i;
        else
            bits.hi |= dark << (i - 64);
    }
    return plain ? std::optional<PatternBits>(bits) : std::nullopt;
}

QString PatternBits::toText() const
{
    QString text(100, QLatin1Char(' '));
    for (int p = 1; p <= 100; ++p) {
        if (test(p))
            text[p - 1] = QLatin1Char('*');
    }
    return text;
}
