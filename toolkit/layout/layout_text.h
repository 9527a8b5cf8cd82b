#pragma once

#include <QByteArray>
#include <QString>

// The readable text form of a window layout, converted without the classes:
//
//   object Form2: TForm2
//     Left = 10                      integers
//     Scale = 1.5                    extended values (a '.' or an exponent)
//     Caption = 'It''s'#13#10'ok'    strings: printable ASCII quoted, '' for a
//                                    quote, #n for any other UTF-16 unit;
//                                    long strings split into parts joined by +
//     Align = alTop                  identifiers; True, False, nil, Null
//     Anchors = [akLeft, akTop]      sets
//     Lines.Strings = ('a' 'b')      lists
//     Items = <item Name = 'x' end>  collections
//     Picture.Data = {89504E47}      binary as hex, 64 digits a line
//     object Panel1: TPanel          child components
//     end
//   end
//
// Strings become a short string when they are Latin-1 and at most 255
// characters, a wide string otherwise; integers take the smallest integer
// type. Layouts written that way (as the layout writer does) convert to text
// and back to the identical bytes. Faults raise ELayoutError naming the byte
// offset (binary form) or the line (text form) and what was expected.
QString LayoutBinaryToText(const QByteArray& Binary);
QByteArray LayoutTextToBinary(const QString& Text);
