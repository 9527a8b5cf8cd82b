#include "test_data.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <gtest/gtest.h>

QString TestDataPath(const QString& Name)
{
    return QStringLiteral(LUMIVEX_TEST_DATA "/") + Name;
}

QImage LoadTestImage(const QString& Name)
{
    QImageReader reader(TestDataPath(Name));
    QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << "cannot read fixture " << Name.toStdString() << ": "
                                 << reader.errorString().toStdString();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray ReadFileBytes(const QString& Path)
{
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray EncodedBytes(const QImage& Image, const char* Format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(Image.save(&buffer, Format)) << "cannot encode as " << Format;
    return bytes;
}
