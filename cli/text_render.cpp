#include "cli/text_render.h"

#include "imaging/saving/encoder_memory.h"

#include "cli/command_output.h"
#include "cli/text_options.h"
#include "imaging/image_limits.h"
#include "imaging/saving/encoder_memory.h"
#include "markup/label/label_rendering.h"
#include "pictures/html_picture_cache.h"
#include "toolkit/graphics/font.h"

#include <stdexcept>

namespace
{
// Decoded pictures kept at once while one text is drawn: several pictures
// of the output's size at most, within the run's memory bound.
constexpr qint64 MaxCachedPictureBytes = qint64(64) << 20;

QImage Refuse(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return {};
}
} // namespace

QImage RenderTextReflection(const TTextCommandOptions& Options, const QString& Markup, QString* Reason,
                            QStringList* Refused)
{
    QString markup = Markup;
    markup.remove(QLatin1Char('\r'));
    markup.remove(QLatin1Char('\n'));

    RegisterTahomaFont();
    TLabelRendering rendering;
    TFont* font = rendering.Font();
    font->SetName(Options.FontName);
    font->SetSize(Options.FontPoints);
    TFont::TFontStyles style;
    if (Options.Bold)
        style |= TFont::fsBold;
    if (Options.Italic)
        style |= TFont::fsItalic;
    font->SetStyle(style);
    font->SetColor(Options.TextColor);
    rendering.Background = ColorToRGB(Options.Background);
    rendering.Parameters = Options.Reflection;

    // A caption from a stranger reads no file its user did not allow, and no
    // picture larger than the output may be.
    TPicturePolicy policy;
    policy.ReadAnyLocalFile = false;
    for (const QString& folder : Options.AllowedFolders)
        policy.AllowFolder(folder);
    policy.MaxPicturePixels = Options.MaxPixels;
    policy.MaxCachedBytes = MaxCachedPictureBytes;
    THTMLPictureCache* cache = rendering.PictureCache();
    cache->SetPolicy(policy);
    cache->OnPictureRefused = [&](const QString& Location, const TFailure& Why) {
        if (!Refused)
            return;
        QString hint;
        if (Why.Kind == TFailureKind::Refused)
            hint = QStringLiteral(" (allow its folder with --allow-files DIR)");
        else if (Why.Kind == TFailureKind::OverLimit)
            hint = QStringLiteral(" (raise the limit with --max-pixels N)");
        const QString line = QStringLiteral("picture \"%1\" not drawn: %2%3").arg(Location, Why.Text, hint);
        if (!Refused->contains(line))
            *Refused << line;
    };

    QSize size(Options.Width, Options.Height);
    if (size.width() <= 0 || size.height() <= 0) {
        const QSize fitting = rendering.FittingSize(markup, Options.Width);
        if (size.width() <= 0)
            size.setWidth(fitting.width());
        if (size.height() <= 0)
            size.setHeight(fitting.height());
    }
    // Unless the user says otherwise, a format whose encoder needs more
    // memory than the others gets a smaller output, so that every text of
    // the default limit stays within the same memory.
    const TSaveFormatInfo* format = FindSaveFormat(OutputFormat(Options.Format, Options.Output));
    qint64 limit = Options.MaxPixels;
    QString limitFor;
    if (!Options.MaxPixelsGiven && format) {
        const qint64 encodable = PixelsEncodedWithin(format->Format, Options.Quality, DefaultTextSaveBytes);
        if (encodable < limit) {
            limit = encodable;
            limitFor = QStringLiteral(" for %1%2")
                           .arg(Options.Quality >= 100 ? QStringLiteral("lossless ") : QString(),
                                QString::fromLatin1(format->OptionName).toUpper());
        }
    }
    QString reason;
    if (CheckImageSize(size.width(), size.height(), &reason) != TGpStatus::Ok ||
        qint64(size.width()) * size.height() > limit)
        return Refuse(Reason, QStringLiteral("the text would be %1 × %2 pixels, over the limit of %3%4 "
                                             "(give --width and --height, or raise it with --max-pixels N)")
                                  .arg(size.width())
                                  .arg(size.height())
                                  .arg(limit)
                                  .arg(limitFor));

    // A format's own side limit is known before anything is drawn: a picture
    // it cannot hold is not made (trimming may yet make it fit).
    if (!Options.Trim && format && format->MaxSide > 0 &&
        (size.width() > format->MaxSide || size.height() > format->MaxSide))
        return Refuse(Reason, QStringLiteral("the text would be %1 × %2 pixels; %3 holds at most %4 a side "
                                             "(give a smaller --width and --height, or another -f)")
                                  .arg(size.width())
                                  .arg(size.height())
                                  .arg(QString::fromLatin1(format->OptionName).toUpper())
                                  .arg(format->MaxSide));

    // The window's save paints its pictures through the same call.
    TLabelPictureOptions picture;
    picture.Trim = Options.Trim;
    picture.Transparent = Options.Transparent;
    try {
        return rendering.Picture(markup, size, picture, Reason);
    } catch (const std::exception& error) {
        return Refuse(Reason, QString::fromUtf8(error.what()));
    }
}
