#include "toolkit/ascii_text.h"

QString UpperCaseAscii(const QString& Text)
{
    QString result = Text;
    for (QChar& c : result)
        c = QChar(UpperAscii(c.unicode()));
    return result;
}
