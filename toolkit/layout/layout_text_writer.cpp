#include "toolkit/layout/layout_text_writer.h"

#include "toolkit/layout/layout_error.h"
#include "toolkit/layout/layout_names.h"
#include "toolkit/layout/layout_tree.h"

#include <charconv>
#include <cmath>

namespace
{

constexpr int HexDigitsPerLine = 64;
constexpr int StringPartLength = 64;

class TTextWriter
{
  public:
    QString Out;

    void Object(const TLayoutObject& Object, int Indent)
    {
        CheckName(Object.ClassName, false, Object.Offset, QStringLiteral("a class name"));
        Line(Indent);
        Out += QStringLiteral("object ");
        if (!Object.Name.isEmpty()) {
            CheckName(Object.Name, false, Object.Offset, QStringLiteral("a component name"));
            Out += Object.Name + QStringLiteral(": ");
        }
        Out += Object.ClassName;
        Out += '\n';
        Properties(Object.Properties, Indent + 1);
        for (const TLayoutObject& child : Object.Children)
            this->Object(child, Indent + 1);
        Line(Indent);
        Out += QStringLiteral("end\n");
    }

  private:
    void Line(int Indent) { Out += QString(Indent * 2, QLatin1Char(' ')); }

    static void CheckName(const QString& Name, bool Dotted, qint64 Offset, const QString& Expected)
    {
        if (!IsLayoutIdentifier(Name, Dotted))
            ThrowLayoutDamaged(Offset, Expected, QStringLiteral("\"%1\"").arg(Name));
    }

    void Properties(const std::vector<TLayoutProperty>& Properties, int Indent)
    {
        for (const TLayoutProperty& property : Properties) {
            CheckName(property.Name, true, property.Offset, QStringLiteral("a property name"));
            Line(Indent);
            Out += property.Name + QStringLiteral(" =");
            Value(property.Value, Indent + 1);
            Out += '\n';
        }
    }

    // Writes " value" (or a value starting on the next lines) after the
    // current text; Indent is the indent of continuation lines.
    void Value(const TLayoutValue& Value, int Indent)
    {
        switch (Value.Type) {
        case TLayoutValueType::Null:
            Out += QStringLiteral(" Null");
            break;
        case TLayoutValueType::Nil:
            Out += QStringLiteral(" nil");
            break;
        case TLayoutValueType::False:
            Out += QStringLiteral(" False");
            break;
        case TLayoutValueType::True:
            Out += QStringLiteral(" True");
            break;
        case TLayoutValueType::Int8:
        case TLayoutValueType::Int16:
        case TLayoutValueType::Int32:
        case TLayoutValueType::Int64:
            Out += ' ' + QString::number(Value.Integer);
            break;
        case TLayoutValueType::Extended:
            Out += ' ' + ExtendedText(Value);
            break;
        case TLayoutValueType::String:
        case TLayoutValueType::LString:
        case TLayoutValueType::WString:
        case TLayoutValueType::Utf8String:
            String(Value.Text, Indent);
            break;
        case TLayoutValueType::Ident:
            CheckName(Value.Text, false, Value.Offset + 1, QStringLiteral("an identifier"));
            Out += ' ' + Value.Text;
            break;
        case TLayoutValueType::Set: {
            Out += QStringLiteral(" [");
            for (qsizetype i = 0; i < Value.Names.size(); ++i) {
                CheckName(Value.Names[i], false, Value.Offset, QStringLiteral("a set element"));
                if (i > 0)
                    Out += QStringLiteral(", ");
                Out += Value.Names[i];
            }
            Out += ']';
            break;
        }
        case TLayoutValueType::Binary: {
            Out += QStringLiteral(" {");
            const QString hex = QString::fromLatin1(Value.Bytes.toHex().toUpper());
            for (qsizetype i = 0; i < hex.size(); i += HexDigitsPerLine) {
                Out += '\n';
                Line(Indent);
                Out += hex.mid(i, HexDigitsPerLine);
            }
            Out += '}';
            break;
        }
        case TLayoutValueType::List:
            Out += QStringLiteral(" (");
            for (const TLayoutValue& item : Value.List) {
                Out += '\n';
                Line(Indent);
                const qsizetype before = Out.size();
                this->Value(item, Indent + 1);
                // The item's own leading blank is not wanted at a line start.
                if (Out.size() > before && Out[before] == ' ')
                    Out.remove(before, 1);
            }
            Out += ')';
            break;
        case TLayoutValueType::Collection:
            Out += QStringLiteral(" <");
            for (const std::vector<TLayoutProperty>& item : Value.Items) {
                Out += '\n';
                Line(Indent);
                Out += QStringLiteral("item\n");
                Properties(item, Indent + 1);
                Line(Indent);
                Out += QStringLiteral("end");
            }
            Out += '>';
            break;
        default:
            ThrowLayoutDamaged(Value.Offset, QStringLiteral("a value type"),
                               QStringLiteral("%1").arg(int(Value.Type)));
        }
    }

    static QString ExtendedText(const TLayoutValue& Value)
    {
        const long double number = LayoutExtendedValue(Value);
        char buffer[64];
        std::to_chars_result written{buffer, std::errc()};
        if (std::isfinite(number))
            written = std::to_chars(buffer, buffer + sizeof(buffer), number);
        if (!std::isfinite(number) || written.ec != std::errc())
            ThrowLayoutDamaged(Value.Offset, QStringLiteral("a finite extended value"),
                               QStringLiteral("another bit pattern"));
        QString text = QString::fromLatin1(buffer, written.ptr - buffer);
        if (!text.contains('.') && !text.contains('e'))
            text += QStringLiteral(".0");
        // Bit patterns that are no canonical number do not survive the
        // decimal form; refusing them keeps text and binary in step.
        long double back = 0;
        const QByteArray latin = text.toLatin1();
        std::from_chars(latin.constData(), latin.constData() + latin.size(), back);
        if (MakeLayoutExtended(back).Bytes != Value.Bytes)
            ThrowLayoutDamaged(Value.Offset, QStringLiteral("a canonical extended value"),
                               QStringLiteral("another bit pattern"));
        return text;
    }

    static QString StringPart(QStringView Part)
    {
        QString text;
        bool quoted = false;
        for (QChar c : Part) {
            const char16_t unit = c.unicode();
            if (unit >= 0x20 && unit < 0x7F) {
                if (!quoted) {
                    text += '\'';
                    quoted = true;
                }
                text += c;
                if (c == '\'')
                    text += c;
            } else {
                if (quoted) {
                    text += '\'';
                    quoted = false;
                }
                text += '#' + QString::number(unit);
            }
        }
        if (quoted)
            text += '\'';
        return text.isEmpty() ? QStringLiteral("''") : text;
    }

    void String(const QString& Text, int Indent)
    {
        if (Text.size() <= StringPartLength) {
            Out += ' ' + StringPart(Text);
            return;
        }
        for (qsizetype i = 0; i < Text.size(); i += StringPartLength) {
            if (i > 0)
                Out += QStringLiteral(" +");
            Out += '\n';
            Line(Indent);
            Out += StringPart(QStringView(Text).mid(i, StringPartLength));
        }
    }
};

} // namespace

QString LayoutBinaryToText(const QByteArray& Binary)
{
    const TLayoutObject root = ParseLayoutBinary(Binary);
    TTextWriter writer;
    writer.Object(root, 0);
    return writer.Out;
}
