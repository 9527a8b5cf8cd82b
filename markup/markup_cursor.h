#pragma once

#include <QString>
#include <QStringView>

// A read position in a markup text that only moves forward. The layout cuts
// runs and tags from the front of the remaining text; keeping a position
// instead of removing characters, and remembering where the next "<", blank
// and ">" were found, keeps a whole call linear in the length of the text.
class TMarkupCursor
{
  public:
    explicit TMarkupCursor(const QString& Text) : FText(Text) {}

    bool AtEnd() const { return FPos >= FText.size(); }
    qsizetype Position() const { return FPos; }
    qsizetype Remaining() const { return FText.size() - FPos; }
    bool StartsWithTag() const { return !AtEnd() && FText[FPos] == u'<'; }
    QStringView Peek(qsizetype Count) const { return QStringView(FText).mid(FPos, Count); }

    // 0-based distance from the position to the next Character, -1 when
    // there is none; only "<", " " and ">" are asked for.
    qsizetype Find(char16_t Character);

    // The tag at the position: up to and including the first ">", or the
    // whole rest when there is none.
    QString TagText();

    // Moves past Count characters and returns them.
    QStringView Take(qsizetype Count);
    void Skip(qsizetype Count) { FPos = qMin(FText.size(), FPos + Count); }
    void SkipAll() { FPos = FText.size(); }

  private:
    struct TFound {
        qsizetype At = -2; // -2 not searched yet, -1 none from the last search on
    };
    TFound& Slot(char16_t Character);

    const QString& FText;
    qsizetype FPos = 0;
    TFound FTag, FBlank, FClose;
};
