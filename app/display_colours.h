#pragma once

#include <QByteArray>
#include <QImage>
#include <memory>

class TSrgbConversion;

// The colours a picture is shown in. A picture with a colour profile other
// than sRGB's (Adobe RGB, Display P3) stores values that mean other colours
// than the same values in sRGB: shown as they are, it looks washed out or
// too loud. Only what the window shows is converted, never what it saves.
// The screen's own profile is not told to the program (Qt gives none for a
// screen), so the screen is taken to be sRGB, as nearly every one is meant
// to be.
class TDisplayColours
{
  public:
    TDisplayColours() = default;
    // For a picture carrying Icc (empty: none). A profile that cannot be
    // read, or whose colours are sRGB's to within a step, converts nothing.
    explicit TDisplayColours(const QByteArray& Icc);

    const QByteArray& Icc() const { return FIcc; }
    bool Converts() const { return FConversion != nullptr; }

    // Image's colours as the screen shows them: Format_ARGB32 (Format_RGB32
    // stays so), alpha untouched; a premultiplied image is converted on its
    // colours before premultiplying. Image itself when nothing converts.
    QImage Shown(QImage Image) const;

  private:
    QByteArray FIcc;
    std::shared_ptr<const TSrgbConversion> FConversion;
};
