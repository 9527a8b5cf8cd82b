#include "markup/draw_markup.h"

#include "toolkit/graphics/canvas.h"

#include "tests/markup/markup_run.h"
#include "tests/support/test_data.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

// Whole markup samples rendered and compared pixel for pixel with reference
// pictures under tests/data/markup. After an intended change of the look,
// write them again with
//     LUMIVEX_UPDATE_REFERENCES=1 build/tests/test_markup --gtest_filter='Samples/MarkupReference.*'
// and look at the new pictures before committing them.

namespace
{

struct ReferenceCase {
    const char* Name; // also the picture's file name
    QString Markup;
    int Width;
    int Height;
};

class MarkupReference : public ::testing::TestWithParam<ReferenceCase>
{
};

TEST_P(MarkupReference, RendersAsTheReferencePicture)
{
    const ReferenceCase& c = GetParam();
    TMarkupSurface surface(c.Width, c.Height);
    TMarkupRequest request = TestRequest();
    QString markup = c.Markup;
    request.Area = QRect(0, 0, c.Width, c.Height);
    request.HotIndex = 1;
    const TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);

    const QString path = TestDataPath(QStringLiteral("markup/%1.png").arg(QString::fromLatin1(c.Name)));
    if (qEnvironmentVariableIntValue("LUMIVEX_UPDATE_REFERENCES") == 1) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        ASSERT_TRUE(surface.Image.save(path, "PNG")) << path.toStdString();
        GTEST_SKIP() << "written " << path.toStdString();
    }
    const QImage reference(path);
    ASSERT_FALSE(reference.isNull()) << "missing " << path.toStdString()
                                     << "; write it with LUMIVEX_UPDATE_REFERENCES=1";
    EXPECT_EQ(surface.Image.convertToFormat(QImage::Format_ARGB32),
              reference.convertToFormat(QImage::Format_ARGB32));
}

INSTANTIATE_TEST_SUITE_P(
    Samples, MarkupReference,
    ::testing::Values(
        ReferenceCase{
            "styles",
            QStringLiteral("<B>Bold</B> <I>italic</I> <U>under</U> <S>strike</S> "
                           "<FONT COLOR=\"clRed\" SIZE=\"4\">red</FONT> <A HREF=\"x\">link</A> "
                           "<FONT FACE=\"DejaVu Sans\" BGCOLOR=\"#FFFF00\">face</FONT> &copy; &lt;tag&gt;"),
            240, 60},
        ReferenceCase{
            "paragraphs",
            QStringLiteral(
                "<P ALIGN=\"CENTER\" BGCOLOR=\"clYellow\">centred on yellow</P>"
                "<P ALIGN=\"RIGHT\">to the right</P><P ALIGN=\"LEFT\"><HR><P INDENT=\"20\">"
                "indented after a rule</P><P BGCOLOR=\"clWhite\" BGCOLORTO=\"clAqua\">gradient<BR>outlined"),
            240, 90},
        ReferenceCase{
            "lists_and_scripts",
            QStringLiteral("<UL><LI>one<UL><LI>two deep</LI></UL></LI><LI><E>errror</E> x<SUB>2</SUB> "
                           "y<SUP>3</SUP></LI></UL>"),
            200, 90},
        ReferenceCase{
            "body_and_effects",
            QStringLiteral("<BODY BGCOLOR=\"#E0E0FF\" BGCOLORTO=\"#FFE0E0\" DIR=\"V\"><SH>shadowed</SH> "
                           "<HI>highlight</HI><BR><OF x=\"40\">offset <IN x=\"150\">at 150"),
            220, 60}),
    [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
