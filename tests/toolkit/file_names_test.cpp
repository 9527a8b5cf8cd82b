#include "toolkit/file_names.h"

#include <gtest/gtest.h>

TEST(FileNames, AnyBytesComeBackUnchangedAndUtf8StaysText)
{
    const struct {
        const char* Name;
        QByteArray Bytes;
        QString Text; // what valid UTF-8 must read as; null: not checked
    } cases[] = {
        {"ascii", "photo.png", QStringLiteral("photo.png")},
        {"utf-8", "fr\xC3\xA9sil.png", QString::fromUtf8("fr\xC3\xA9sil.png")},
        {"four-byte utf-8", "\xF0\x9F\x96\xBC.png", QString::fromUtf8("\xF0\x9F\x96\xBC.png")},
        {"latin-1 byte", "fr\xE9sil.png", {}},
        {"lone continuation", "a\x80z", {}},
        {"cut sequence at the end", "a\xE2\x82", {}},
        {"overlong slash", "a\xC0\xAF", {}},
        {"encoded surrogate", "\xED\xA0\x80", {}},
        {"every high byte", QByteArray::fromHex("80818283feff"), {}},
    };
    for (const auto& c : cases) {
        const QString name = FileNameFromBytes(c.Bytes);
        EXPECT_EQ(FileNameBytes(name), c.Bytes) << c.Name;
        if (!c.Text.isNull()) {
            EXPECT_EQ(name, c.Text) << c.Name;
        }
    }
}
