#include "imaging/saving/save_format_choice.h"

#include "toolkit/ascii_text.h"

ImageSaveFormat SaveFormatFromFileName(const QString& FileName)
{
    const QString upper = UpperCaseAscii(FileName);
    ImageSaveFormat chosen = ImageSaveFormat::Png;
    for (const ImageSaveFormat format : {ImageSaveFormat::Jpeg, ImageSaveFormat::Gif, ImageSaveFormat::Bmp}) {
        const QString extension =
            QLatin1Char('.') + UpperCaseAscii(QString::fromLatin1(FindSaveFormat(format)->Extension));
        if (upper.contains(extension))
            chosen = format;
    }
    return chosen;
}
