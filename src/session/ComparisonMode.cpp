#include "session/ComparisonMode.h"

QString modeSettingsLine(ComparisonMode mode)
{
    switch (mode) {
    case ComparisonMode::Name:
        return QStringLiteral("NAME");
    case ComparisonMode::Size:
        return QStringLiteral("SIZE");
    case ComparisonMode::NameAndSize:
        return QStringLiteral("NAME AND SIZE");
    case ComparisonMode::Numbered:
        return QStringLiteral("NUMBERED");
    case ComparisonMode::Checksum:
        return QStringLiteral("CHECKSUM");
    case ComparisonMode::Pattern:
        return QStringLiteral("PATTERN");
    case ComparisonMode::AverageRgb:
        return QStringLiteral("AVERAGE RGB");
    case ComparisonMode::QuadrantRgb:
        return QStringLiteral("QUADRANT RGB");
    }
    return {};
}

std::optional<ComparisonMode> modeFromSettingsLine(const QString& upperLine)
{
    for (ComparisonMode mode : AllComparisonModes) {
        if (upperLine == modeSettingsLine(mode))
            return mode;
    }
    return std::nullopt;
}

QString modeCaption(ComparisonMode mode)
{
    if (mode == ComparisonMode::NameAndSize)
        return QStringLiteral("t'olq! - NAME and SIZE search");
    return QStringLiteral("t'olq! - %1 search").arg(modeSettingsLine(mode));
}
