#pragma once

#include "toolkit/graphics/color.h"
#include "toolkit/persistent.h"

#include <QFont>
#include <QString>
#include <functional>
#include <optional>

// The text font of a canvas or a control: face, size, style set, colour.
// Height is the window system's logical height: negative for the character
// height in pixels (the em size), positive for the cell height including the
// internal leading. Size in points is derived from Height at 96 pixels per inch.
class TFont : public TPersistent
{
    Q_OBJECT
    Q_PROPERTY(int Charset READ Charset WRITE SetCharset)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Size READ Size WRITE SetSize STORED false)
    Q_PROPERTY(TFontStyles Style READ Style WRITE SetStyle)
  public:
    enum TFontStyle { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
    Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
    Q_FLAG(TFontStyles)

    using TNotify = std::function<void(TFont* Sender)>;

    static constexpr int DefaultCharset = 1;
    static constexpr int DefaultHeight = -11;
    static constexpr int PixelsPerInch = 96;

    explicit TFont(QObject* parent = nullptr);

    int Charset() const { return FCharset; }
    void SetCharset(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    QString Name() const { return FName; }
    void SetName(const QString& Value);
    int Size() const;
    void SetSize(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);

    // Copies every property of another TFont and fires OnChange once.
    void CopyFrom(const TPersistent* Source) override;

    // A pixel-sized QFont of this face, height and style. Kerning is off so
    // that a text measured in pieces is as wide as the whole.
    QFont ToQFont() const;

    bool operator==(const TFont& Other) const;

    TNotify OnChange;

  private:
    void Changed();

    int FCharset = DefaultCharset;
    TColor FColor = clWindowText;
    int FHeight = DefaultHeight;
    QString FName = QStringLiteral("Tahoma");
    TFontStyles FStyle;
    // ToQFont's result, kept until a property changes: text is measured often.
    mutable std::optional<QFont> FQFont;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TFont::TFontStyles)

// Registers the window's "Tahoma" face from the metric-compatible font file
// when one is installed; returns whether a Tahoma face is available to Qt.
bool RegisterTahomaFont();
