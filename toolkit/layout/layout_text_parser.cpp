#include "toolkit/layout/layout_text_parser.h"

#include "toolkit/layout/layout_error.h"
#include "toolkit/layout/layout_names.h"
#include "toolkit/layout/layout_tree.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace
{

enum class TTokenKind { End, Identifier, Integer, Float, String, Symbol };

struct TToken {
    TTokenKind Kind = TTokenKind::End;
    QString Text; // identifier, symbol, or the string's value
    qint64 Integer = 0;
    long double Float = 0;
    int Line = 1;
};

class TTextParser
{
  public:
    explicit TTextParser(const QString& Source) : Text(Source) { Next(); }

    TLayoutObject Parse()
    {
        TLayoutObject root = Object(0);
        if (Current.Kind != TTokenKind::End)
            Fail(QStringLiteral("the end of the text"));
        return root;
    }

  private:
    [[noreturn]] void Fail(const QString& Expected) const
    {
        throw ELayoutError(QStringLiteral("Layout text error on line %1: expected %2, found %3")
                               .arg(Current.Line)
                               .arg(Expected, Found())
                               .toStdString());
    }

    QString Found() const
    {
        switch (Current.Kind) {
        case TTokenKind::End:
            return QStringLiteral("the end of the text");
        case TTokenKind::String:
            return QStringLiteral("a string");
        case TTokenKind::Integer:
        case TTokenKind::Float:
        case TTokenKind::Identifier:
        case TTokenKind::Symbol:
            return QStringLiteral("'%1'").arg(Current.Text);
        }
        return QString();
    }

    [[noreturn]] void FailHere(int AtLine, const QString& Message) const
    {
        throw ELayoutError(
            QStringLiteral("Layout text error on line %1: %2").arg(AtLine).arg(Message).toStdString());
    }

    bool IsSymbol(char Symbol) const
    {
        return Current.Kind == TTokenKind::Symbol && Current.Text == QChar(Symbol);
    }
    bool IsWord(const char* Word) const
    {
        return Current.Kind == TTokenKind::Identifier &&
               Current.Text.compare(QLatin1String(Word), Qt::CaseInsensitive) == 0;
    }

    void ExpectSymbol(char Symbol)
    {
        if (!IsSymbol(Symbol))
            Fail(QStringLiteral("'%1'").arg(QChar(Symbol)));
        Next();
    }

    QString ExpectIdentifier(const QString& What, bool Dotted)
    {
        if (Current.Kind != TTokenKind::Identifier || !IsLayoutIdentifier(Current.Text, Dotted))
            Fail(What);
        CheckLength();
        QString name = Current.Text;
        Next();
        return name;
    }

    // Names are stored as short strings.
    void CheckLength() const
    {
        if (Current.Text.size() > 255)
            FailHere(Current.Line,
                     QStringLiteral("expected a name of at most 255 characters, found one of %1")
                         .arg(Current.Text.size()));
    }

    void Enter(int Depth) const
    {
        if (Depth > LayoutMaxDepth)
            FailHere(
                Current.Line,
                QStringLiteral("objects, lists or collections nested deeper than %1").arg(LayoutMaxDepth));
    }

    TLayoutObject Object(int Depth)
    {
        Enter(Depth);
        if (!IsWord("object"))
            Fail(QStringLiteral("'object'"));
        Next();
        TLayoutObject object;
        const QString first = ExpectIdentifier(QStringLiteral("a component name or class name"), false);
        if (IsSymbol(':')) {
            Next();
            object.Name = first;
            object.ClassName = ExpectIdentifier(QStringLiteral("a class name"), false);
        } else {
            object.ClassName = first;
        }
        while (Current.Kind == TTokenKind::Identifier && !IsWord("object") && !IsWord("end"))
            object.Properties.push_back(Property(Depth));
        while (IsWord("object"))
            object.Children.push_back(Object(Depth + 1));
        if (!IsWord("end"))
            Fail(QStringLiteral("a property, 'object' or 'end'"));
        Next();
        return object;
    }

    TLayoutProperty Property(int Depth)
    {
        TLayoutProperty property;
        property.Name = ExpectIdentifier(QStringLiteral("a property name"), true);
        ExpectSymbol('=');
        property.Value = Value(Depth);
        return property;
    }

    TLayoutValue Value(int Depth)
    {
        TLayoutValue value;
        switch (Current.Kind) {
        case TTokenKind::Integer:
            value = MakeLayoutInteger(Current.Integer);
            Next();
            return value;
        case TTokenKind::Float:
            value = MakeLayoutExtended(Current.Float);
            Next();
            return value;
        case TTokenKind::String: {
            QString text = Current.Text;
            Next();
            while (IsSymbol('+')) {
                Next();
                if (Current.Kind != TTokenKind::String)
                    Fail(QStringLiteral("a string after '+'"));
                text += Current.Text;
                Next();
            }
            return MakeLayoutString(text);
        }
        case TTokenKind::Identifier:
            if (IsWord("True"))
                value.Type = TLayoutValueType::True;
            else if (IsWord("False"))
                value.Type = TLayoutValueType::False;
            else if (IsWord("nil"))
                value.Type = TLayoutValueType::Nil;
            else if (IsWord("Null"))
                value.Type = TLayoutValueType::Null;
            else {
                if (!IsLayoutIdentifier(Current.Text, false))
                    Fail(QStringLiteral("a value"));
                CheckLength();
                value.Type = TLayoutValueType::Ident;
                value.Text = Current.Text;
            }
            Next();
            return value;
        case TTokenKind::Symbol:
            break;
        case TTokenKind::End:
            Fail(QStringLiteral("a value"));
        }
        if (IsSymbol('[')) {
            Next();
            value.Type = TLayoutValueType::Set;
            if (!IsSymbol(']')) {
                value.Names.append(ExpectIdentifier(QStringLiteral("a set element"), false));
                while (IsSymbol(',')) {
                    Next();
                    value.Names.append(ExpectIdentifier(QStringLiteral("a set element"), false));
                }
            }
            ExpectSymbol(']');
            return value;
        }
        if (IsSymbol('(')) {
            Enter(Depth + 1);
            Next();
            value.Type = TLayoutValueType::List;
            while (!IsSymbol(')')) {
                if (Current.Kind == TTokenKind::End)
                    Fail(QStringLiteral("a list value or ')'"));
                value.List.push_back(Value(Depth + 1));
            }
            Next();
            return value;
        }
        if (IsSymbol('<')) {
            Enter(Depth + 1);
            Next();
            value.Type = TLayoutValueType::Collection;
            while (!IsSymbol('>')) {
                if (!IsWord("item"))
                    Fail(QStringLiteral("'item' or '>'"));
                Next();
                std::vector<TLayoutProperty> item;
                while (Current.Kind == TTokenKind::Identifier && !IsWord("end"))
                    item.push_back(Property(Depth + 1));
                if (!IsWord("end"))
                    Fail(QStringLiteral("a property or 'end'"));
                Next();
                value.Items.push_back(std::move(item));
            }
            Next();
            return value;
        }
        if (IsSymbol('{')) {
            value.Type = TLayoutValueType::Binary;
            value.Bytes = HexBlock();
            Next();
            return value;
        }
        Fail(QStringLiteral("a value"));
    }

    // Reads the hex digits after the current '{' up to its '}'; the token
    // after the block becomes current.
    QByteArray HexBlock()
    {
        const int startLine = Current.Line;
        QByteArray digits;
        for (;;) {
            if (Position >= Text.size())
                FailHere(startLine, QStringLiteral("binary data from here has no closing '}'"));
            const QChar c = Text[Position++];
            if (c == '}')
                break;
            if (c == '\n')
                ++Line;
            if (c.isSpace())
                continue;
            if (!std::isxdigit(c.unicode() < 0x80 ? int(c.unicode()) : 0))
                FailHere(Line, QStringLiteral("expected a hex digit or '}', found '%1'").arg(c));
            digits.append(char(c.unicode()));
        }
        if (digits.size() % 2 != 0)
            FailHere(Line,
                     QStringLiteral("expected an even number of hex digits, found %1").arg(digits.size()));
        return QByteArray::fromHex(digits);
    }

    void SkipBlanks()
    {
        while (Position < Text.size()) {
            const QChar c = Text[Position];
            if (c == '\n') {
                ++Line;
                ++Position;
            } else if (c.isSpace()) {
                ++Position;
            } else if (c == '/' && Position + 1 < Text.size() && Text[Position + 1] == '/') {
                while (Position < Text.size() && Text[Position] != '\n')
                    ++Position;
            } else {
                break;
            }
        }
    }

    void Next()
    {
        SkipBlanks();
        Current = TToken();
        Current.Line = Line;
        if (Position >= Text.size())
            return;
        const QChar c = Text[Position];
        if (IsLayoutIdentifierStart(c)) {
            const qsizetype start = Position;
            while (Position < Text.size() &&
                   (IsLayoutIdentifierPart(Text[Position]) || Text[Position] == '.'))
                ++Position;
            Current.Kind = TTokenKind::Identifier;
            Current.Text = Text.mid(start, Position - start);
            return;
        }
        if ((c >= '0' && c <= '9') || ((c == '-' || c == '+') && Position + 1 < Text.size() &&
                                       Text[Position + 1] >= '0' && Text[Position + 1] <= '9')) {
            Number();
            return;
        }
        if (c == '\'' || c == '#') {
            StringToken();
            return;
        }
        Current.Kind = TTokenKind::Symbol;
        Current.Text = QString(c);
        ++Position;
        if (QStringLiteral("=:[](),<>{}+").indexOf(c) < 0)
            Fail(QStringLiteral("a name, a value or one of = : [ ] ( ) < > { } +"));
    }

    void Number()
    {
        const qsizetype start = Position;
        if (Text[Position] == '-' || Text[Position] == '+')
            ++Position;
        bool isFloat = false;
        while (Position < Text.size()) {
            const QChar c = Text[Position];
            if (c >= '0' && c <= '9') {
                ++Position;
            } else if (c == '.' || c == 'e' || c == 'E') {
                isFloat = true;
                ++Position;
                if ((c == 'e' || c == 'E') && Position < Text.size() &&
                    (Text[Position] == '-' || Text[Position] == '+'))
                    ++Position;
            } else {
                break;
            }
        }
        Current.Text = Text.mid(start, Position - start);
        QByteArray digits = Current.Text.toLatin1();
        if (digits.startsWith('+'))
            digits.remove(0, 1);
        const char* first = digits.constData();
        const char* last = first + digits.size();
        if (isFloat) {
            Current.Kind = TTokenKind::Float;
            const auto [end, error] = std::from_chars(first, last, Current.Float);
            if (error != std::errc() || end != last || !std::isfinite(Current.Float))
                Fail(QStringLiteral("a number"));
        } else {
            Current.Kind = TTokenKind::Integer;
            const auto [end, error] = std::from_chars(first, last, Current.Integer);
            if (error != std::errc() || end != last)
                Fail(QStringLiteral("an integer within 64 bits"));
        }
    }

    // A string token: quoted parts ('' for a quote) and #n character codes,
    // written next to each other.
    void StringToken()
    {
        Current.Kind = TTokenKind::String;
        QString value;
        while (Position < Text.size()) {
            const QChar c = Text[Position];
            if (c == '\'') {
                ++Position;
                for (;;) {
                    if (Position >= Text.size() || Text[Position] == '\n')
                        FailHere(Line,
                                 QStringLiteral(
                                     "expected the closing quote of a string, found the end of the line"));
                    const QChar s = Text[Position++];
                    if (s == '\'') {
                        if (Position < Text.size() && Text[Position] == '\'') {
                            value += s;
                            ++Position;
                            continue;
                        }
                        break;
                    }
                    value += s;
                }
            } else if (c == '#') {
                ++Position;
                const qsizetype start = Position;
                while (Position < Text.size() && Text[Position] >= '0' && Text[Position] <= '9' &&
                       Position - start < 6)
                    ++Position;
                bool ok = false;
                const uint code = Text.mid(start, Position - start).toUInt(&ok);
                if (!ok || code > 0xFFFF)
                    FailHere(Line, QStringLiteral("expected a character code from #0 to #65535 after '#'"));
                value += QChar(char16_t(code));
            } else {
                break;
            }
        }
        Current.Text = value;
    }

    const QString& Text;
    qsizetype Position = 0;
    int Line = 1;
    TToken Current;
};

} // namespace

QByteArray LayoutTextToBinary(const QString& Text)
{
    return SerializeLayoutBinary(TTextParser(Text).Parse());
}
