#include "imaging/imaging_library.h"

#include <QImageReader>

namespace
{

std::uintptr_t ActiveToken = 0;
std::uintptr_t LastToken = 0;

QStringList Missing(const QStringList& Required, const QList<QByteArray>& Present)
{
    QStringList missing;
    for (const QString& format : Required)
        if (!Present.contains(format.toLatin1()))
            missing << format;
    return missing;
}

} // namespace

QStringList TImagingLibrary::RequiredReaders()
{
    return {QStringLiteral("png"), QStringLiteral("jpeg"), QStringLiteral("gif"), QStringLiteral("bmp"),
            QStringLiteral("tiff")};
}

TImagingStartup TImagingLibrary::Start()
{
    TImagingStartup startup;
    startup.MissingReaders = Missing(RequiredReaders(), QImageReader::supportedImageFormats());
    startup.Status = startup.MissingReaders.isEmpty() ? TGpStatus::Ok : TGpStatus::FileNotFound;
    startup.Token = ActiveToken = ++LastToken;
    return startup;
}

void TImagingLibrary::Stop(std::uintptr_t Token)
{
    if (Token != 0 && Token == ActiveToken)
        ActiveToken = 0;
}

bool TImagingLibrary::IsStarted()
{
    return ActiveToken != 0;
}
