#include "toolkit/file_names.h"

namespace
{
constexpr char16_t EscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence starting at Bytes[At], or 0.
int ValidSequenceAt(const QByteArray& Bytes, qsizetype At)
{
    const auto byte = [&](qsizetype I) { return I < Bytes.size() ? uchar(Bytes[I]) : 0u; };
    const uint lead = byte(At);
    if (lead < 0x80)
        return 1;
    int length = 0;
    uint minimum = 0;
    uint code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        const uint next = byte(At + i);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not valid.
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}
} // namespace

QString FileNameFromBytes(const QByteArray& Bytes)
{
    QString name;
    name.reserve(Bytes.size());
    for (qsizetype at = 0; at < Bytes.size();) {
        const int length = ValidSequenceAt(Bytes, at);
        if (length == 0) {
            name += QChar(char16_t(EscapeBase + uchar(Bytes[at])));
            ++at;
            continue;
        }
        name += QString::fromUtf8(Bytes.constData() + at, length);
        at += length;
    }
    return name;
}

QByteArray FileNameBytes(const QString& Name)
{
    QByteArray bytes;
    bytes.reserve(Name.size());
    qsizetype runStart = 0;
    const auto flush = [&](qsizetype End) { bytes += Name.mid(runStart, End - runStart).toUtf8(); };
    for (qsizetype i = 0; i < Name.size(); ++i) {
        const char16_t unit = Name.at(i).unicode();
        // A lone low surrogate in 0xDC80..0xDCFF is an escaped byte; one
        // preceded by a high surrogate belongs to a real character.
        const bool paired = i > 0 && Name.at(i - 1).isHighSurrogate();
        if (unit >= EscapeBase + 0x80 && unit <= EscapeBase + 0xFF && !paired) {
            flush(i);
            bytes += char(unit - EscapeBase);
            runStart = i + 1;
        }
    }
    flush(Name.size());
    return bytes;
}
