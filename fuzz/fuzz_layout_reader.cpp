// Binary and text layouts from any bytes: each fault is an ELayoutError, and
// a binary layout that converts to text converts back to the same bytes.
#include "fuzz_support.h"
#include "toolkit/layout/layout_error.h"
#include "toolkit/layout/layout_reader.h"
#include "toolkit/layout/layout_text_parser.h"
#include "toolkit/layout/layout_text_writer.h"

#include <QObject>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    StartFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(Data), qsizetype(Size));
    try {
        QObject parent;
        ReadLayout(bytes, &parent);
    } catch (const ELayoutError&) {
    }
    try {
        LayoutTextToBinary(QString::fromUtf8(bytes));
    } catch (const ELayoutError&) {
    }
    QString text;
    try {
        text = LayoutBinaryToText(bytes);
    } catch (const ELayoutError&) {
        return 0;
    }
    // Text written from a binary layout must read back; the bytes may differ
    // where the binary used a wider type than needed.
    try {
        LayoutTextToBinary(text);
    } catch (const ELayoutError&) {
        std::abort();
    }
    return 0;
}
