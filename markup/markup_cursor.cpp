#include "markup/markup_cursor.h"

TMarkupCursor::TFound& TMarkupCursor::Slot(char16_t Character)
{
    if (Character == u'<')
        return FTag;
    if (Character == u' ')
        return FBlank;
    return FClose;
}

qsizetype TMarkupCursor::Find(char16_t Character)
{
    TFound& found = Slot(Character);
    // A search that found nothing stays valid for every later position.
    if (found.At == -1)
        return -1;
    if (found.At < FPos)
        found.At = FText.indexOf(QChar(Character), FPos);
    return found.At < 0 ? -1 : found.At - FPos;
}

QString TMarkupCursor::TagText()
{
    const qsizetype close = Find(u'>');
    return close < 0 ? FText.mid(FPos) : FText.mid(FPos, close + 1);
}

QStringView TMarkupCursor::Take(qsizetype Count)
{
    const QStringView taken = QStringView(FText).mid(FPos, Count);
    Skip(Count);
    return taken;
}
