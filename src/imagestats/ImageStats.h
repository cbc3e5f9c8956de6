#pragma once

#include "imagestats/PatternBits.h"

#include <QString>
#include <optional>

// The statistics of one picture, as the catalogue stores them. Text fields that carry nothing
// hold a single blank, as in the catalogue.
struct ImageStats
{
    qint32 X = 0;
    qint32 Y = 0;
    double XYRATIO = 0;
    QString RGB = QStringLiteral(" ");
    QString QRGB = QStringLiteral(" ");
    QString SOFTRGB = QStringLiteral(" ");
    QString SOFTQRGB = QStringLiteral(" ");
    QString PXLRAY = QStringLiteral(" ");
    qint32 PXLNUM = 0;
    // The bit form of PXLRAY when it is a real pattern.
    std::optional<PatternBits> pattern;

    bool operator==(const ImageStats&) const = default;
};

inline const QString& imageTooSmallText()
{
    static const QString text = QStringLiteral("Image too small...");
    return text;
}
