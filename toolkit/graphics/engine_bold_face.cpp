#include "toolkit/graphics/engine_bold_face.h"

#include <QtEndian>

namespace
{
// The sfnt header: a table count at byte 4, then 16-byte table records from
// byte 12 (tag, checksum, offset, length).
constexpr qsizetype TableCountOffset = 4;
constexpr qsizetype TableRecordsOffset = 12;
constexpr qsizetype TableRecordSize = 16;
constexpr qsizetype RecordOffsetField = 8;

// In the OS/2 table: usWeightClass, and fsSelection with its bold bit.
constexpr qsizetype WeightClassOffset = 4;
constexpr qsizetype SelectionOffset = 62;
constexpr quint16 SelectionBold = 0x20;
// Below the engine's 700, above the regular 400, so that a bold request
// still finds this face first.
constexpr quint16 EmboldenedWeight = 600;

// Byte offset of the OS/2 table, or -1 when the file has none in range.
qsizetype Os2TableOffset(const QByteArray& File)
{
    if (File.size() < TableRecordsOffset)
        return -1;
    const int tables = qFromBigEndian<quint16>(File.constData() + TableCountOffset);
    for (int i = 0; i < tables; ++i) {
        const qsizetype record = TableRecordsOffset + i * TableRecordSize;
        if (record + TableRecordSize > File.size())
            return -1;
        if (QByteArrayView(File.constData() + record, 4) != QByteArrayView("OS/2"))
            continue;
        const qsizetype offset = qFromBigEndian<quint32>(File.constData() + record + RecordOffsetField);
        if (offset < 0 || offset + SelectionOffset + 2 > File.size())
            return -1;
        return offset;
    }
    return -1;
}
} // namespace

QByteArray EngineEmboldenedFace(const QByteArray& FontFile)
{
    const qsizetype os2 = Os2TableOffset(FontFile);
    if (os2 < 0)
        return {};
    QByteArray face = FontFile;
    char* table = face.data() + os2;
    const quint16 selection = qFromBigEndian<quint16>(table + SelectionOffset);
    qToBigEndian<quint16>(selection & quint16(~SelectionBold), table + SelectionOffset);
    qToBigEndian<quint16>(EmboldenedWeight, table + WeightClassOffset);
    return face;
}
