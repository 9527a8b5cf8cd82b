#pragma once

#include <QString>

// Character entities and the normalisation a markup text gets before layout.

// True when the text contains " & ": its ampersands are then drawn literally
// instead of marking the next character. Tested on the text as given.
bool DrawsAmpersandsLiterally(const QString& Markup);

// Replaces the entities "&amp;" (by "&&", drawn as one ampersand), "&quot;",
// "&sect;", "&permil;", "&reg;", "&copy;", "&para;", "&trade;" and "&euro;",
// in any case, until none is left. Replacements may form new entities with the
// text around them ("&amp;copy;" ends as "&" followed by the copyright sign).
QString ReplaceEntities(const QString& Markup);

// The entities replaced in a text run after it has been cut from the markup:
// "&nbsp;" (a space), then "&lt;", then "&gt;". Each is replaced, first
// occurrence in any case first, for as long as the run still holds it in lower
// case, so an upper-case spelling alone stays as typed.
QString ReplaceRunEntities(const QString& Run);

struct TNormalizedMarkup {
    QString Text;
    bool LiteralAmpersands = false;
};

// The text as the layout reads it: the " & " test on the original, the
// entities when it holds an "&", the first "<#Name>" shown as "#Name", and
// carriage returns as "<BR>" tags with line feeds dropped.
TNormalizedMarkup NormalizeMarkup(const QString& Markup);
