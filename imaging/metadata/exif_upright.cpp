#include "imaging/metadata/exif_upright.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <libexif/exif-data.h>
#include <libexif/exif-log.h>
#include <memory>

namespace
{
struct TExifDataDeleter {
    void operator()(ExifData* Data) const { exif_data_unref(Data); }
};
struct TExifLogDeleter {
    void operator()(ExifLog* Log) const { exif_log_unref(Log); }
};

// libexif reads on past what it cannot understand and only logs it, a cut
// directory or a tag beyond the data as no more than a debugging note: the
// log is what tells a damaged packet from a whole one.
void NoteCorruption(ExifLog*, ExifLogCode Code, const char*, const char* Format, va_list, void* Data)
{
    static const char* const signs[] = {"Short data", "past end", "Bogus", "too small", "not large enough"};
    bool corrupt = Code == EXIF_LOG_CODE_CORRUPT_DATA || Code == EXIF_LOG_CODE_NO_MEMORY;
    for (const char* sign : signs)
        corrupt = corrupt || (Format && std::strstr(Format, sign));
    if (corrupt)
        *static_cast<bool*>(Data) = true;
}

void SetWholeNumber(ExifEntry* Entry, ExifByteOrder Order, int Value)
{
    if (!Entry || !Entry->data || Entry->components != 1)
        return;
    if (Entry->format == EXIF_FORMAT_SHORT && Value <= 0xFFFF && Entry->size >= 2)
        exif_set_short(Entry->data, Order, ExifShort(Value));
    else if (Entry->format == EXIF_FORMAT_LONG && Entry->size >= 4)
        exif_set_long(Entry->data, Order, ExifLong(Value));
}

QByteArray Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return {};
}
} // namespace

QByteArray UprightExif(const QByteArray& Exif, QSize Size, QString* Reason)
{
    if (Exif.isEmpty())
        return {};
    std::unique_ptr<ExifData, TExifDataDeleter> data(exif_data_new());
    std::unique_ptr<ExifLog, TExifLogDeleter> log(exif_log_new());
    if (!data || !log)
        return Fail(Reason, QStringLiteral("out of memory reading it"));
    bool corrupt = false;
    exif_log_set_func(log.get(), NoteCorruption, &corrupt);
    exif_data_log(data.get(), log.get());
    // Keep every tag as it came: neither drop the unknown ones nor add those
    // the standard asks for.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    const QByteArray withHeader = QByteArrayLiteral("Exif\0\0") + Exif;
    exif_data_load_data(data.get(), reinterpret_cast<const unsigned char*>(withHeader.constData()),
                        unsigned(withHeader.size()));
    if (corrupt || !data->ifd[EXIF_IFD_0] || data->ifd[EXIF_IFD_0]->count == 0)
        return Fail(Reason, QStringLiteral("libexif finds it damaged"));

    const ExifByteOrder order = exif_data_get_byte_order(data.get());
    SetWholeNumber(exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION), order, 1);
    SetWholeNumber(exif_content_get_entry(data->ifd[EXIF_IFD_EXIF], EXIF_TAG_PIXEL_X_DIMENSION), order,
                   Size.width());
    SetWholeNumber(exif_content_get_entry(data->ifd[EXIF_IFD_EXIF], EXIF_TAG_PIXEL_Y_DIMENSION), order,
                   Size.height());

    unsigned char* saved = nullptr;
    unsigned int savedSize = 0;
    exif_data_save_data(data.get(), &saved, &savedSize);
    const std::unique_ptr<unsigned char, decltype(&std::free)> owner(saved, &std::free);
    if (!saved || savedSize <= 6 || corrupt)
        return Fail(Reason, QStringLiteral("libexif could not write it again"));
    return QByteArray(reinterpret_cast<const char*>(saved) + 6, qsizetype(savedSize) - 6);
}
