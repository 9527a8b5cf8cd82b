#include "naive_reflection.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

QImage NaiveReflection(const QImage& Picture, int n, int S, int E)
{
    const int W = Picture.width(), H = Picture.height();
    QImage out(W, H, QImage::Format_ARGB32);
    out.fill(0);
    const QImage flipped = Picture.convertToFormat(QImage::Format_ARGB32).mirrored(false, true);
    for (int y = 0; y < H; ++y) {
        long double a = 0;
        if (y < n) {
            a = std::nearbyintl((static_cast<long double>(n) - y) / n * S +
                                static_cast<long double>(y) / n * E);
            a = std::clamp<long double>(a, 0, 255);
        }
        for (int x = 0; x < W; ++x) {
            const QRgb p = flipped.pixel(x, y);
            const int alpha = qAlpha(p);
            if (alpha == 0)
                continue;
            const int scaled = static_cast<int>(std::nearbyintl(a / 255.0L * alpha));
            out.setPixel(x, y, qRgba(qRed(p), qGreen(p), qBlue(p), scaled));
        }
    }
    return out;
}

void ExpectSameBits(const QImage& Actual, const QImage& Expected)
{
    ASSERT_EQ(Actual.size(), Expected.size());
    ASSERT_EQ(Actual.format(), QImage::Format_ARGB32);
    for (int y = 0; y < Expected.height(); ++y)
        for (int x = 0; x < Expected.width(); ++x)
            ASSERT_EQ(Actual.pixel(x, y), Expected.pixel(x, y)) << "at " << x << "," << y;
}
