#include "toolkit/graphics/font.h"

#include "toolkit/graphics/canvas_geometry.h"
#include "toolkit/graphics/engine_bold_face.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

TFont::TFont(QObject* parent) : TPersistent(parent) {}

void TFont::Changed()
{
    FQFont.reset();
    if (OnChange)
        OnChange(this);
}

void TFont::SetCharset(int Value)
{
    if (FCharset == Value)
        return;
    FCharset = Value;
    Changed();
}

void TFont::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    // The colour is not part of the QFont: its cached copy stays valid.
    if (OnChange)
        OnChange(this);
}

void TFont::SetHeight(int Value)
{
    if (FHeight == Value)
        return;
    FHeight = Value;
    Changed();
}

void TFont::SetName(const QString& Value)
{
    if (FName == Value || Value.isEmpty())
        return;
    FName = Value;
    Changed();
}

int TFont::Size() const
{
    return -MulDiv(FHeight, 72, PixelsPerInch);
}

void TFont::SetSize(int Value)
{
    SetHeight(-MulDiv(Value, PixelsPerInch, 72));
}

void TFont::SetStyle(TFontStyles Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Changed();
}

void TFont::CopyFrom(const TPersistent* Source)
{
    const auto* other = qobject_cast<const TFont*>(Source);
    if (!other || other == this)
        return;
    FCharset = other->FCharset;
    FColor = other->FColor;
    FHeight = other->FHeight;
    FName = other->FName;
    FStyle = other->FStyle;
    Changed();
}

bool TFont::operator==(const TFont& Other) const
{
    return FCharset == Other.FCharset && FColor == Other.FColor && FHeight == Other.FHeight &&
           FName == Other.FName && FStyle == Other.FStyle;
}

QFont TFont::ToQFont() const
{
    if (FQFont)
        return *FQFont;
    QFont font(FName);
    font.setBold(FStyle.testFlag(fsBold));
    font.setItalic(FStyle.testFlag(fsItalic));
    font.setUnderline(FStyle.testFlag(fsUnderline));
    font.setStrikeOut(FStyle.testFlag(fsStrikeOut));
    font.setKerning(false);
    // Height 0 asks for the default size.
    const int height = FHeight == 0 ? -DefaultHeight : FHeight;
    if (height < 0) {
        font.setPixelSize(-height);
    } else {
        // A positive height is the whole cell; scale the em size so that
        // ascent + descent comes out at that height.
        font.setPixelSize(height);
        const QFontMetrics metrics(font);
        const int cell = metrics.ascent() + metrics.descent();
        if (cell > 0 && cell != height)
            font.setPixelSize(qMax(1, MulDiv(height, height, cell)));
    }
    FQFont = font;
    return font;
}

bool RegisterTahomaFont()
{
    static const bool available = [] {
        const QStringList candidates = {QStringLiteral("/usr/share/fonts/truetype/wine/tahoma.ttf"),
                                        QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")};
        const QStringList boldCandidates = {QStringLiteral("/usr/share/fonts/truetype/wine/tahomabd.ttf"),
                                            QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf")};
        bool registered = false;
        for (const QString& path : candidates)
            if (!registered && QFile::exists(path))
                registered = QFontDatabase::addApplicationFont(path) >= 0;
        // The bold file's strokes are as thin as the regular's: registered as
        // a lighter face, the font engine emboldens it, keeping its advances.
        // Without the size limit Qt puts on that, large bold text would be
        // drawn thin again.
        qputenv("QT_NO_SYNTHESIZED_BOLD_LIMIT", "1");
        for (const QString& path : boldCandidates) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray face = EngineEmboldenedFace(file.readAll());
            if (!face.isEmpty() && QFontDatabase::addApplicationFontFromData(face) >= 0)
                break;
        }
        return registered || QFontDatabase::hasFamily(QStringLiteral("Tahoma"));
    }();
    return available;
}
