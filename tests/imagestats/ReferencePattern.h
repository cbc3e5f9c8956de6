#pragma once

// A plain, slow pattern maker that walks the pixels cell by cell exactly as the rules read;
// the fast one is checked against it.

#include "imagestats/ImageStats.h"
#include "imagestats/PixelArray.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace reference {

inline std::int64_t rnd(double v)
{
    return std::int64_t(std::nearbyint(v));
}

inline std::uint64_t greySum(const PixelArray& a, std::int64_t x1, std::int64_t x2, std::int64_t y1, std::int64_t y2)
{
    x1 = std::max<std::int64_t>(x1, 1);
    y1 = std::max<std::int64_t>(y1, 1);
    x2 = std::min<std::int64_t>(x2, a.width());
    y2 = std::min<std::int64_t>(y2, a.height());
    std::uint64_t s = 0;
    for (std::int64_t x = x1; x <= x2; ++x)
        for (std::int64_t y = y1; y <= y2; ++y)
            s += (a.at(int(x), int(y)) >> 16) & 0xFF;
    return s;
}

inline ImageStats makePattern(const PixelArray& a)
{
    ImageStats st;
    const std::int64_t W = a.width(), H = a.height();
    st.PXLNUM = 0;
    st.X = int(W);
    st.Y = int(H);
    if (W < 100 || H < 100) {
        st.PXLRAY = QStringLiteral("Image too small...");
        return st;
    }
    const std::int64_t M = std::int64_t(std::floor(double(greySum(a, 1, W, 1, H)) / double(W * H)));
    const float cellW = float(W / 50.0), cellH = float(H / 50.0);
    int grid[51][51] = {};
    for (int i = 0; i <= 49; ++i)
        for (int j = 0; j <= 49; ++j) {
            const std::uint64_t s = greySum(a, rnd(i * double(cellW) + 1), rnd(i * double(cellW) + double(cellW)),
                rnd(j * double(cellH) + 1), rnd(j * double(cellH) + double(cellH)));
            const std::int64_t m = std::min<std::int64_t>(rnd(double(s) / (double(cellW) * double(cellH))), 255);
            grid[i + 1][j + 1] = m < M ? 0 : 1;
        }
    std::int64_t L = 0, R = 0, B = 0, T = 0;
    bool changed;
    do {
        changed = false;
        std::int64_t sL = 0, sR = 0, sB = 0, sT = 0;
        for (int x = 1; x <= 50; ++x)
            for (int y = 1; y <= 50; ++y) {
                if (x == L + 1)
                    sL += grid[x][y];
                if (x == 50 - R)
                    sR += grid[x][y];
                if (y == B + 1)
                    sB += grid[x][y];
                if (y == 50 - T)
                    sT += grid[x][y];
            }
        if (sT == 0 || sT == 50) {
            ++T;
            changed = true;
        }
        if (sB == 0 || sB == 50) {
            ++B;
            changed = true;
        }
        if (sL == 0 || sL == 50) {
            ++L;
            changed = true;
        }
        if (sR == 0 || sR == 50) {
            ++R;
            changed = true;
        }
    } while (changed && T < H / 2.0 && L < W / 2.0);
    if (T > 0 && B > 0 && grid[25][1] == grid[25][50]) {
        T = rnd(T * double(cellH));
        B = rnd(B * double(cellH));
    } else {
        T = B = 0;
    }
    if (L > 0 && R > 0 && grid[1][25] == grid[50][25]) {
        L = rnd(L * double(cellW));
        R = rnd(R * double(cellW));
    } else {
        L = R = 0;
    }
    if (H - B - T < 100)
        B = T = 0;
    if (W - L - R < 100)
        L = R = 0;
    const std::int64_t M2
        = std::int64_t(std::floor(double(greySum(a, L + 1, W - R, B + 1, H - T)) / double((W - L - R) * (H - B - T))));
    const float cw = float((W - L - R) / 10.0), ch = float((H - B - T) / 10.0);
    QString text;
    for (int i = 0; i <= 9; ++i)
        for (int j = 0; j <= 9; ++j) {
            const std::uint64_t s = greySum(a, rnd(i * double(cw) + 1 + L), rnd(i * double(cw) + double(cw) + L),
                rnd(j * double(ch) + 1 + B), rnd(j * double(ch) + double(ch) + B));
            const std::int64_t m = std::min<std::int64_t>(rnd(double(s) / (double(cw) * double(ch))), 255);
            if (m < M2) {
                text += QLatin1Char('*');
                ++st.PXLNUM;
            } else {
                text += QLatin1Char(' ');
            }
        }
    st.PXLRAY = text;
    st.pattern = PatternBits::fromText(text);
    return st;
}

} // namespace reference
