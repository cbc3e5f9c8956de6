#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>
#include <QStringList>

// One small picture of a catalogued type: the file's bytes and the pixels a decoder must give.
struct ImageSample
{
    QString type; // ".JPG"
    QByteArray bytes;
    QImage expected; // Format_RGB32, transparency already laid on white
    int tolerance = 0; // largest per-channel difference allowed (lossy types)
    bool drawn = false; // a drawing: pixels along edges are smoothed and are not compared
};

// Known pictures of each of the 24 catalogued types, for tests and benchmarks.
class ImageSamples
{
public:
    // The 24 types, as ".ART" ... ".ICO".
    static QStringList types();
    // The standard sample of a type; an empty sample for a type outside the 24.
    static ImageSample sample(const QString& type);
    // Writes sample(type) as DIR/sample.ext (lower-case extension); returns the path or "".
    static QString writeSample(const QString& dir, const QString& type);

    // Deterministic pictures: a smooth colourful photograph, and an indexed picture of the given
    // colours whose runs and single pixels exercise run-length encoders.
    static QImage photo(int width, int height, int seed = 0);
    static QImage indexed(int width, int height, const QList<QRgb>& colours, int seed = 0);
    static QImage mono(int width, int height, int seed = 0); // Format_Mono, 0 black, 1 white
    // A colour table of count entries, each channel from the given levels.
    static QList<QRgb> palette(int count, const QList<int>& levels, int seed = 0);
    // Opaque white under the transparent parts of an ARGB picture.
    static QImage onWhite(const QImage& image);
};
