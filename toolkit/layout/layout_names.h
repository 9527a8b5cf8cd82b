#pragma once

#include <QChar>
#include <QString>

// Letters and the underscore start a name in a layout's text form; digits may
// follow.
bool IsLayoutIdentifierStart(QChar c);
bool IsLayoutIdentifierPart(QChar c);

// A name the text form can hold: identifier parts, joined by dots when Dotted.
bool IsLayoutIdentifier(const QString& Name, bool Dotted);
