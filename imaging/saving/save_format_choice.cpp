#include "imaging/saving/save_format_choice.h"

namespace
{
QString UpperCaseAsciiLetters(const QString& Text)
{
    QString upper = Text;
    for (QChar& c : upper)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return upper;
}
} // namespace

ImageSaveFormat SaveFormatFromFileName(const QString& FileName)
{
    const QString upper = UpperCaseAsciiLetters(FileName);
    ImageSaveFormat format = ImageSaveFormat::Png;
    if (upper.contains(QLatin1String(".JPG")))
        format = ImageSaveFormat::Jpeg;
    if (upper.contains(QLatin1String(".GIF")))
        format = ImageSaveFormat::Gif;
    if (upper.contains(QLatin1String(".BMP")))
        format = ImageSaveFormat::Bmp;
    return format;
}
