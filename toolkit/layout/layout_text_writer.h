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
// Layouts whose strings and integers take the smallest form (as the layout
// writer's do) convert to text and back (LayoutTextToBinary) to the identical
// bytes. Faults raise ELayoutError naming the byte offset and what was
// expected there.
QString LayoutBinaryToText(const QByteArray& Binary);
