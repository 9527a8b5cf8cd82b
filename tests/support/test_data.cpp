#include "test_data.h"

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
