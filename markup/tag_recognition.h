#pragma once

#include <QString>

// Which tag a markup text starts with. Tags are told apart by the one or two
// characters after "<" or "</", compared after upper-casing; the rest of the
// name is not looked at, so "<BOLD>" is the body tag and "<EM>" the error
// underline. Start tags are written "<" + letters, end tags "</" + letters.
enum class TMarkupTag {
    Unknown, // removed without effect
    Bold,
    BoldEnd,
    Italic,
    ItalicEnd, // every end tag beginning with I, "</IMG>" and "</IND>" too
    Underline,
    UnderlineEnd,
    StrikeOut,
    StrikeOutEnd,
    Subscript,   // only "<SUB>" exactly
    Superscript, // only "<SUP>" exactly
    ScriptEnd,   // ends subscript and superscript
    Shadow,
    ShadowEnd,
    Hidden,
    HiddenEnd,
    ErrorUnderline,
    ErrorUnderlineEnd,
    Highlight,
    HighlightEnd,
    LineBreak,
    Rule,
    Anchor,
    AnchorEnd,
    Font, // only when the tag has a ">"
    FontEnd,
    Paragraph, // only when the tag has a ">"
    ParagraphEnd,
    List,
    ListEnd, // at list depth 0 it ends underline instead
    ListItem,
    ListItemEnd,
    Image,
    Indentation,
    Offset,
    OffsetEnd,
    Rotation,
    RotationEnd,
    Body,
    Blink,
    BlinkEnd, // every end tag B + anything but ">", "</BODY>" and "</BR>" too
};

// The tag that Markup begins with; Unknown when it does not begin with "<".
// Markup is the rest of the text from the "<" on, since whether a tag has a
// ">" and whether an end tag has its four characters depends on what follows.
TMarkupTag RecognizeTag(const QString& Markup);

// The tag itself: Markup from its start up to and including the first ">",
// or all of Markup when there is none.
QString TagText(const QString& Markup);
