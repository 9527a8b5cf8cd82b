#pragma once

#include "toolkit/color.h"
#include "toolkit/persistent.h"
#include "toolkit/widgets/control_types.h"

#include <QFont>
#include <QString>
#include <functional>

// The font a control publishes. The controls reach it only through the three
// functions at the end of this header, so that the class can later be replaced
// by the toolkit's shared font class without touching the controls.
class TWidgetFont : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int Charset READ Charset WRITE SetCharset)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Size READ Size WRITE SetSize STORED false)
    Q_PROPERTY(TControlTypes::TFontStyles Style READ Style WRITE SetStyle)
public:
    static constexpr int DefaultCharset = 1;

    explicit TWidgetFont(QObject* Parent = nullptr);

    std::function<void()> OnChange;

    int Charset() const { return FCharset; }
    void SetCharset(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // Negative: the character height in pixels without internal leading, as
    // the window system counts it; 96 pixels per inch.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    QString Name() const { return FName; }
    void SetName(const QString& Value);
    int Size() const;
    void SetSize(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);

    void CopyFrom(const TPersistent* Source) override;

private:
    void Changed();

    int FCharset = DefaultCharset;
    TColor FColor = clWindowText;
    int FHeight = -11;
    QString FName = QStringLiteral("Tahoma");
    TFontStyles FStyle;
};

// The Qt font that draws like Font (its colour is not part of a QFont).
QFont WidgetFontToQFont(const TWidgetFont& Font);
// Takes over every attribute a QFont carries (name, size, styles); colour and
// character set stay. Fires OnChange once when anything changed.
void AssignQFontToWidgetFont(TWidgetFont& Font, const QFont& Source);
void SetWidgetFontChangeHandler(TWidgetFont& Font, std::function<void()> Handler);
