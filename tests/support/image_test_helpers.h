#pragma once

#include <QImage>
#include <QRect>
#include <cctype>
#include <gtest/gtest.h>
#include <string>

// Readable parameterised test names from each case's Name.
template <class Case> std::string CaseName(const ::testing::TestParamInfo<Case>& Info)
{
    std::string name;
    for (const char c : std::string(Info.param.Name))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

inline constexpr QRgb White = 0xFFFFFFFFu;

inline QImage MakeImage(int Width, int Height, QRgb Fill = White)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    image.fill(Fill);
    return image;
}

// The smallest rectangle holding every pixel that differs from Background.
inline QRect ChangedArea(const QImage& Image, QRgb Background = White)
{
    QRect area;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if (Image.pixel(x, y) != Background)
                area |= QRect(x, y, 1, 1);
    return area;
}
