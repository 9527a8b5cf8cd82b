#include "toolkit/layout/layout_names.h"

bool IsLayoutIdentifierStart(QChar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsLayoutIdentifierPart(QChar c)
{
    return IsLayoutIdentifierStart(c) || (c >= '0' && c <= '9');
}

bool IsLayoutIdentifier(const QString& Name, bool Dotted)
{
    if (Name.isEmpty())
        return false;
    bool partStart = true;
    for (QChar c : Name) {
        if (Dotted && c == '.') {
            if (partStart)
                return false;
            partStart = true;
            continue;
        }
        if (partStart ? !IsLayoutIdentifierStart(c) : !IsLayoutIdentifierPart(c))
            return false;
        partStart = false;
    }
    return !partStart;
}
