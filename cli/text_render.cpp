#include "cli/text_render.h"

#include "cli/text_options.h"
#include "imaging/image_limits.h"
#include "markup/label_rendering.h"
#include "toolkit/graphics/font.h"

#include <stdexcept>

namespace
{
QImage Refuse(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return {};
}
} // namespace

QImage RenderTextReflection(const TTextCommandOptions& Options, const QString& Markup, QString* Reason)
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

    QSize size(Options.Width, Options.Height);
    if (size.width() <= 0 || size.height() <= 0) {
        const QSize fitting = rendering.FittingSize(markup, Options.Width);
        if (size.width() <= 0)
            size.setWidth(fitting.width());
        if (size.height() <= 0)
            size.setHeight(fitting.height());
    }
    QString reason;
    if (CheckImageSize(size.width(), size.height(), &reason) != TGpStatus::Ok)
        return Refuse(Reason, QStringLiteral("the text would be too large: %1 × %2 pixels")
                                  .arg(size.width())
                                  .arg(size.height()));

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
