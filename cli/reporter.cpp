#include "cli/reporter.h"

#include <algorithm>
#include <iterator>
#include <unistd.h>

namespace
{
// C's short escapes; other control characters and bytes that are not UTF-8
// are written as three octal digits.
struct TEscape {
    char16_t Char;
    const char* Text;
};
constexpr TEscape ShortEscapes[] = {{u'\n', "\\n"}, {u'\t', "\\t"}, {u'\r', "\\r"},
                                    {u'\a', "\\a"}, {u'\b', "\\b"}, {u'\f', "\\f"},
                                    {u'\v', "\\v"}, {u'"', "\\\""}, {u'\\', "\\\\"}};

// A byte that was not UTF-8 came as a lone surrogate (file_names.h).
bool IsRawByte(char16_t C)
{
    return C >= 0xDC80 && C <= 0xDCFF;
}

bool IsControl(char16_t C)
{
    return C < 0x20 || C == 0x7F;
}
} // namespace

QString QuotedFileName(const QString& Name)
{
    if (std::none_of(Name.begin(), Name.end(),
                     [](QChar C) { return IsControl(C.unicode()) || IsRawByte(C.unicode()); }))
        return Name;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : Name) {
        const char16_t u = c.unicode();
        const auto escape = std::find_if(std::begin(ShortEscapes), std::end(ShortEscapes),
                                         [u](const TEscape& E) { return E.Char == u; });
        if (escape != std::end(ShortEscapes))
            quoted += QLatin1String(escape->Text);
        else if (IsControl(u) || IsRawByte(u))
            quoted +=
                QStringLiteral("\\%1").arg(unsigned(IsRawByte(u) ? u - 0xDC00 : u), 3, 8, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + u'"';
}

TCliReporter::TCliReporter(std::FILE* Stream) : FStream(Stream), FIsTerminal(isatty(fileno(Stream)) == 1) {}

void TCliReporter::Line(const QString& Text)
{
    const QByteArray bytes = (Text + QLatin1Char('\n')).toLocal8Bit();
    const std::lock_guard<std::mutex> guard(FLock);
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), FStream);
    std::fflush(FStream);
}

void TCliReporter::Failure(const QString& Name, const QString& Reason)
{
    Line(QStringLiteral("lumivex-cli: %1: %2")
             .arg(Name == QLatin1String("-") ? QStringLiteral("standard input") : QuotedFileName(Name),
                  Reason));
}

void TCliReporter::Progress(int Count, int Total, const QString& Name)
{
    if (FIsTerminal && Total > 1)
        Line(QStringLiteral("[%1/%2] %3").arg(Count).arg(Total).arg(QuotedFileName(Name)));
}
