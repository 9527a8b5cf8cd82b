#include "imaging/codecs/heif_module.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>
#include <mutex>

namespace
{
const char* const ModuleFileName = "lumivex_heif.so";

// The folders to look in, in order. The build tree comes first only for a
// program of that tree, so that an installed program never loads a module
// some build left behind.
QStringList ModuleFolders()
{
    const QString chosen = qEnvironmentVariable("LUMIVEX_HEIF_MODULE_DIR");
    if (!chosen.isEmpty())
        return {chosen};
    QStringList folders;
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const QString buildTree = QStringLiteral(LUMIVEX_BUILD_TREE);
    if (!program.isEmpty() && program.startsWith(buildTree + QLatin1Char('/')))
        folders << QStringLiteral(LUMIVEX_HEIF_BUILD_DIR);
    if (!program.isEmpty())
        folders << QFileInfo(program).absolutePath() + QStringLiteral("/" LUMIVEX_HEIF_FROM_PROGRAM);
    folders << QStringLiteral(LUMIVEX_HEIF_INSTALL_DIR);
    return folders;
}

const LumivexHeifModule* TryFolder(const QString& Folder)
{
    const QString path = QDir(Folder).filePath(QLatin1String(ModuleFileName));
    if (!QFileInfo::exists(path))
        return nullptr;
    QLibrary library(path);
    const auto entry = reinterpret_cast<LumivexHeifModuleEntry>(library.resolve(LUMIVEX_HEIF_MODULE_ENTRY));
    const LumivexHeifModule* module = entry ? entry(LUMIVEX_HEIF_MODULE_VERSION) : nullptr;
    if (!module && library.isLoaded())
        library.unload();
    return module;
}
} // namespace

const LumivexHeifModule* LoadHeifModule(QString* Reason)
{
    // A module once found stays; a missing one is looked for again next
    // time, which costs a few file checks.
    static std::mutex guard;
    static const LumivexHeifModule* loaded = nullptr;
    const std::lock_guard lock(guard);
    if (!loaded)
        for (const QString& folder : ModuleFolders())
            if ((loaded = TryFolder(folder)))
                break;
    if (!loaded && Reason)
        *Reason =
            QStringLiteral("HEIC and AVIF need the optional module lumivex_heif, which is not installed");
    return loaded;
}

char* AppendToByteArray(void* Owner, size_t Size)
{
    auto* bytes = static_cast<QByteArray*>(Owner);
    const qsizetype old = bytes->size();
    bytes->resize(old + qsizetype(Size));
    return bytes->data() + old;
}
