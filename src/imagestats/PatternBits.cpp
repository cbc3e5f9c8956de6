#include "imagestats/PatternBits.h"

std::optional<PatternBits> PatternBits::fromText(const QString& text)
{
    if (text.size() != 100)
        return std::nullopt;
    PatternBits bits;
    for (int i = 0; i < 100; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('*'))
            bits.set(i + 1);
        else if (c != QLatin1Char(' '))
            return std::nullopt;
    }
    return bits;
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
