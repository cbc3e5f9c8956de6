#pragma once

#include <QString>
#include <array>
#include <optional>

// The eight comparison modes; the mode decides the record order, the fields compared and the
// statistics the pre-scan gathers.
enum class ComparisonMode { Name, Size, NameAndSize, Numbered, Checksum, Pattern, AverageRgb, QuadrantRgb };

// Every mode in the order the settings file tests and writes them.
inline constexpr std::array<ComparisonMode, 8> AllComparisonModes { ComparisonMode::Name, ComparisonMode::Size,
    ComparisonMode::NameAndSize, ComparisonMode::Numbered, ComparisonMode::Checksum, ComparisonMode::Pattern,
    ComparisonMode::AverageRgb, ComparisonMode::QuadrantRgb };

// The mode's line in the settings file: "NAME", "NAME AND SIZE", "AVERAGE RGB", ...
QString modeSettingsLine(ComparisonMode mode);
std::optional<ComparisonMode> modeFromSettingsLine(const QString& upperLine);
// The review window's caption for the mode: "t'olq! - NAME and SIZE search".
QString modeCaption(ComparisonMode mode);
