#include "toolkit/widgets/user_interaction.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

struct TAddressCase {
    const char* Name;
    const char* Address;
    const char* Url; // %1 is the working folder
};

class AddressToUrlTest : public ::testing::TestWithParam<TAddressCase>
{
};

// The working folder holds files named like the addresses would be as paths:
// "http:/x", "mailto:me@example.com" and a plain "notes.txt".
TEST_P(AddressToUrlTest, TheTextAloneDecidesWhetherAnAddressIsAUrl)
{
    const TAddressCase& c = GetParam();
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("http:")));
    for (const char* name : {"http:/x", "mailto:me@example.com", "notes.txt"}) {
        QFile file(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const QUrl url = AddressToUrl(QString::fromUtf8(c.Address));
    QDir::setCurrent(previous);
    EXPECT_EQ(url.toString(), QString::fromUtf8(c.Url).replace(QStringLiteral("%1"), folder.path()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, AddressToUrlTest,
    ::testing::Values(TAddressCase{"web_address_beside_a_file_of_that_name", "http://x", "http://x"},
                      TAddressCase{"mail_address_beside_a_file_of_that_name", "mailto:me@example.com",
                                   "mailto:me@example.com"},
                      TAddressCase{"scheme_in_capitals", "HTTP://x", "http://x"},
                      TAddressCase{"surrounding_blanks", "  https://example.com/a  ",
                                   "https://example.com/a"},
                      TAddressCase{"existing_file_without_scheme", "notes.txt", "file://%1/notes.txt"},
                      TAddressCase{"bare_host", "www.example.com", "http://www.example.com"}),
    [](const ::testing::TestParamInfo<TAddressCase>& Info) { return std::string(Info.param.Name); });

} // namespace
