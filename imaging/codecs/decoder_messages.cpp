#include "imaging/codecs/decoder_messages.h"

#include <QtGlobal>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <tiffio.h>

namespace
{
thread_local TDecoderMessageCapture* CurrentCapture = nullptr;
QtMessageHandler PreviousHandler = nullptr;

void RoutingHandler(QtMsgType Type, const QMessageLogContext& Context, const QString& Message);

// libtiff prints its errors and warnings to standard error itself unless
// given handlers; these pass them to Qt's log, where the decoding thread's
// capture collects them like any reader's message.
void TiffMessage(const char* Module, const char* Format, va_list Arguments)
{
    char text[1024];
    std::vsnprintf(text, sizeof text, Format, Arguments);
    if (Module && *Module)
        qWarning("libtiff: %s: %s", Module, text);
    else
        qWarning("libtiff: %s", text);
}

void InstallOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        PreviousHandler = qInstallMessageHandler(RoutingHandler);
        TIFFSetErrorHandler(TiffMessage);
        TIFFSetWarningHandler(TiffMessage);
    });
}

// Words with which the readers describe damage: libjpeg's warnings, libpng's
// complaints about checksums and image data, libtiff's about its codes.
bool TellsOfDamage(const QString& Message)
{
    static const char* const signs[] = {"Corrupt JPEG data",
                                        "Premature end of JPEG",
                                        "Invalid SOS",
                                        "Inconsistent progression",
                                        "Bogus",
                                        "CRC error",
                                        "image data",
                                        "compressed data",
                                        "not yet in table",
                                        "Truncated",
                                        "truncated",
                                        "Read error",
                                        "Premature end",
                                        "Corrupt",
                                        "corrupt",
                                        "bad Huffman"};
    for (const char* sign : signs)
        if (Message.contains(QLatin1String(sign)))
            return true;
    return false;
}
} // namespace

void CaptureDecoderMessage(const QString& Message)
{
    CurrentCapture->FMessages << Message;
}

namespace
{
void RoutingHandler(QtMsgType Type, const QMessageLogContext& Context, const QString& Message)
{
    if (CurrentCapture && Type != QtFatalMsg) {
        CaptureDecoderMessage(Message);
        return;
    }
    if (PreviousHandler)
        PreviousHandler(Type, Context, Message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(Type, Context, Message)));
}
} // namespace

TDecoderMessageCapture::TDecoderMessageCapture() : FOuter(CurrentCapture)
{
    InstallOnce();
    CurrentCapture = this;
}

TDecoderMessageCapture::~TDecoderMessageCapture()
{
    CurrentCapture = FOuter;
}

QStringList TDecoderMessageCapture::DamageMessages() const
{
    QStringList damage;
    for (const QString& message : FMessages)
        if (TellsOfDamage(message))
            damage << message;
    return damage;
}
