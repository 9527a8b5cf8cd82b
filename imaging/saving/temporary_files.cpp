#include "imaging/saving/temporary_files.h"

#include <QHash>
#include <QList>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// A fixed table, so that the signal handler needs no allocation and no lock:
// a slot is free, being filled, holding a path, or taken by the handler.
enum TSlotState : int { Free = 0, Filling = 1, Held = 2, Removing = 3 };

struct TSlot {
    std::atomic<int> State{Free};
    char Path[PATH_MAX];
};

// More than any batch runs workers at once.
constexpr int SlotCount = 256;
std::array<TSlot, SlotCount> Slots;
std::atomic<int> Received{0};

// When this run began: an older temporary of our pattern is a leftover.
const std::time_t RunStart = std::time(nullptr);

void OnTerminationSignal(int Signal)
{
    const int saved = errno;
    for (TSlot& slot : Slots) {
        int held = Held;
        // Taken for good: the writer's own removal or rename will find the
        // slot no longer its own and leave it.
        if (slot.State.compare_exchange_strong(held, Removing))
            ::unlink(slot.Path);
    }
    int none = 0;
    if (!Received.compare_exchange_strong(none, Signal)) {
        // Asked twice: stop now, as the signal itself would.
        std::signal(Signal, SIG_DFL);
        std::raise(Signal);
    }
    errno = saved;
}

bool IsHex(const QByteArray& Text)
{
    if (Text.isEmpty() || Text.size() > 8)
        return false;
    for (const char c : Text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

// The NAME of ".NAME.HEX.tmp", or empty for any other name.
QByteArray TemporaryOwner(const QByteArray& Entry)
{
    if (!Entry.startsWith('.') || !Entry.endsWith(".tmp"))
        return {};
    const QByteArray inner = Entry.mid(1, Entry.size() - 5);
    const qsizetype dot = inner.lastIndexOf('.');
    if (dot <= 0 || !IsHex(inner.mid(dot + 1)))
        return {};
    return inner.left(dot);
}

// Per folder, the leftovers found when it was first read, by owner name.
struct TLeftovers {
    std::mutex Lock;
    QHash<QByteArray, QHash<QByteArray, QList<QByteArray>>> Folders;
};

TLeftovers& Leftovers()
{
    static TLeftovers leftovers;
    return leftovers;
}

QHash<QByteArray, QList<QByteArray>> ReadLeftovers(const QByteArray& Folder)
{
    QHash<QByteArray, QList<QByteArray>> found;
    DIR* directory = ::opendir(Folder.isEmpty() ? "." : Folder.constData());
    if (!directory)
        return found;
    while (const dirent* entry = ::readdir(directory)) {
        const QByteArray name(entry->d_name);
        const QByteArray owner = TemporaryOwner(name);
        if (owner.isEmpty())
            continue;
        const QByteArray path = Folder + name;
        struct stat status {
        };
        if (::lstat(path.constData(), &status) == 0 && S_ISREG(status.st_mode) && status.st_mtime < RunStart)
            found[owner] << path;
    }
    ::closedir(directory);
    return found;
}

} // namespace

void WatchTerminationSignals()
{
    struct sigaction action {
    };
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (const int watched : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&action.sa_mask, watched);
    for (const int watched : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(watched, &action, nullptr);
}

int TerminationSignal()
{
    return Received.load();
}

int RememberTemporary(const QByteArray& Path)
{
    if (Path.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < SlotCount; ++i) {
        TSlot& slot = Slots[std::size_t(i)];
        int empty = Free;
        if (!slot.State.compare_exchange_strong(empty, Filling))
            continue;
        std::memcpy(slot.Path, Path.constData(), std::size_t(Path.size()) + 1);
        slot.State.store(Held);
        return i;
    }
    return -1;
}

void ForgetTemporary(int Slot)
{
    if (Slot < 0 || Slot >= SlotCount)
        return;
    int held = Held;
    Slots[std::size_t(Slot)].State.compare_exchange_strong(held, Free);
}

void RemoveStaleTemporaries(const QByteArray& Path)
{
    const qsizetype slash = Path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : Path.left(slash + 1);
    const QByteArray name = Path.mid(slash + 1);
    TLeftovers& leftovers = Leftovers();
    const std::lock_guard<std::mutex> lock(leftovers.Lock);
    auto found = leftovers.Folders.find(folder);
    if (found == leftovers.Folders.end())
        found = leftovers.Folders.insert(folder, ReadLeftovers(folder));
    for (const QByteArray& stale : found->take(name))
        ::unlink(stale.constData());
}
