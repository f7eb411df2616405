#include "nativefilesystem.h"

// Listing a folder and walking a tree, with one stat per name.

#include "core/nameorder.h"
#include "core/utf8names.h"
#include "nativeposix.h"
#include "core/wildcard.h"

#include <algorithm>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace dyadix {

using namespace native;

namespace {

// Stats one found name into its entry; false where the entry is not a file of the list (a
// folder, or a link to one).
bool statEntry(int dirFd, const char *rawName, FileStat &fileStat, int &statError)
{
    const bool hidden = isHiddenName(rawName);
    struct stat st {};
    if (::fstatat(dirFd, rawName, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        statError = RunTimeError::fromErrno(errno, PathKind::File).number;
    } else if (S_ISLNK(st.st_mode)) {
        struct stat target {};
        if (::fstatat(dirFd, rawName, &target, 0) == 0) {
            if (S_ISDIR(target.st_mode))
                return false;
            fileStat = toFileStat(target, hidden, true);
        } else {
            // A link to nothing has no time or size of a file to show.
            statError = RunTimeError::fromErrno(errno, PathKind::File).number;
        }
    } else {
        if (S_ISDIR(st.st_mode))
            return false;
        fileStat = toFileStat(st, hidden, false);
    }
    return true;
}

// While a folder's names are read, an empty batch goes to the caller after each this many.
constexpr size_t StillReadingNames = 16384;

// Folders with more names than this have them stat'ed on several threads at once.
constexpr size_t SharedStatNames = 8192;

// One name's stat, before the name is made an entry.
struct Found
{
    FileStat stat;
    int statError = 0;
    bool kept = false;
};

} // namespace

Result<std::vector<DirEntry>> NativeFileSystem::enumerate(const QString &folder,
                                                          const QString &pattern)
{
    std::vector<DirEntry> entries;
    const Status listed = listFolder(folder, pattern, [&entries](std::vector<DirEntry> &batch) {
        if (entries.empty())
            entries = std::move(batch);
        else
            entries.insert(entries.end(), std::make_move_iterator(batch.begin()), std::make_move_iterator(batch.end()));
        return true;
    });
    if (!listed)
        return listed.error();
    return entries;
}

Status NativeFileSystem::listFolder(const QString &folder, const QString &pattern, const TreeBatch &batch)
{
    const QByteArray folderBytes = encodeUtf8Name(folder);
    DIR *dir = ::opendir(folderBytes.isEmpty() ? "." : folderBytes.constData());
    if (dir == nullptr)
        return RunTimeError::fromErrno(errno, PathKind::Folder);
    const int dirFd = ::dirfd(dir);

    // First the names that pass the filter, their bytes one after another (each ended by a
    // NUL), and nothing else: a million of them take a few tens of megabytes...
    std::string rawNames;
    std::vector<size_t> rawAt;
    errno = 0;
    while (const dirent *item = ::readdir(dir)) {
        const std::string_view rawName(item->d_name);
        if (rawName == "." || rawName == ".." || item->d_type == DT_DIR)
            continue;
        if (!matchesWildcard(decodeUtf8Name(rawName), pattern))
            continue;
        rawAt.push_back(rawNames.size());
        rawNames.append(rawName);
        rawNames.push_back('\0');
        // Reading a million names takes a few tenths of a second: the caller hears of it.
        if (rawAt.size() % StillReadingNames == 0) {
            std::vector<DirEntry> none;
            if (!batch(none)) {
                ::closedir(dir);
                return {};
            }
        }
        errno = 0;
    }
    if (const int readError = errno; readError != 0) {
        ::closedir(dir);
        return RunTimeError::fromErrno(readError, PathKind::Folder);
    }
    // ...then, a batch at a time, their times and sizes (a large batch's in parts on the
    // machine's cores, since each stat waits on the file system on its own) and the entries,
    // named: the caller hears of the first files while the rest wait their turn.
    constexpr size_t BatchEntries = 1 << 16;
    std::vector<Found> found;
    std::vector<DirEntry> entries;
    for (size_t first = 0; first < rawAt.size(); first += BatchEntries) {
        const size_t count = std::min(BatchEntries, rawAt.size() - first);
        found.assign(count, Found());
        const auto statRange = [&](size_t from, size_t to) {
            for (size_t k = from; k < to; ++k)
                found[k].kept = statEntry(dirFd, rawNames.data() + rawAt[first + k], found[k].stat, found[k].statError);
        };
        const size_t parts = count < SharedStatNames ? 1 : std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
        std::vector<std::thread> helpers;
        for (size_t part = 1; part < parts; ++part) {
            const size_t from = count * part / parts, to = count * (part + 1) / parts;
            try {
                helpers.emplace_back(statRange, from, to);
            } catch (const std::system_error &) {
                statRange(from, to); // no thread to be had: this one does the part
            }
        }
        statRange(0, count / parts);
        for (std::thread &helper : helpers)
            helper.join();
        entries.clear();
        entries.reserve(count);
        for (size_t k = 0; k < count; ++k) {
            if (!found[k].kept)
                continue;
            DirEntry &entry = entries.emplace_back();
            entry.name = decodeUtf8Name(std::string_view(rawNames.data() + rawAt[first + k]));
            entry.stat = found[k].stat;
            entry.statError = found[k].statError;
        }
        if (!entries.empty() && !batch(entries))
            break;
    }
    ::closedir(dir);
    return {};
}

} // namespace dyadix

namespace dyadix {

namespace {

// One folder of a tree walk: its descriptor, its path below the top, and its files and
// subfolders in the order of the file lists (a subfolder as its name and "/", so that its
// files come where their paths sort), of which `next` is the next to take.
struct WalkFolder
{
    struct Item
    {
        QString name; // the path below the top; a subfolder's ends in "/"
        QByteArray raw;
    };
    FileDescriptor fd;
    QString prefix;
    QByteArray relative;
    std::vector<Item> items;
    std::size_t next = 0;
};

// Reads a folder's names: its subfolders (each named with "/") and the files that match.
void readFolder(WalkFolder &folder, const QString &pattern)
{
    DIR *dir = ::fdopendir(::dup(folder.fd.get()));
    if (dir == nullptr)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent *item = ::readdir(dir)) {
        const std::string_view rawName(item->d_name);
        if (rawName == "." || rawName == "..")
            continue;
        struct stat st {};
        const bool isFolder = item->d_type == DT_DIR
            || (item->d_type == DT_UNKNOWN && ::fstatat(dirFd, item->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0
                && S_ISDIR(st.st_mode));
        // Named by the whole path below the top at once: the entry takes the name as it is.
        QString name = folder.prefix + decodeUtf8Name(rawName);
        if (isFolder)
            name += QLatin1Char('/');
        else if (!matchesWildcard(QStringView(name).mid(folder.prefix.size()), pattern))
            continue;
        folder.items.push_back({std::move(name), QByteArray(rawName.data(), qsizetype(rawName.size()))});
    }
    ::closedir(dir);
    std::sort(folder.items.begin(), folder.items.end(),
              [](const WalkFolder::Item &a, const WalkFolder::Item &b) { return compareNames(a.name, b.name) < 0; });
}

} // namespace

Status NativeFileSystem::walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch)
{
    const QByteArray top = encodeUtf8Name(folder);
    WalkFolder first;
    first.fd.reset(::open(top.isEmpty() ? "." : top.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (first.fd.get() == -1)
        return RunTimeError::fromErrno(errno, PathKind::Folder);
    std::set<std::pair<dev_t, ino_t>> seen;
    struct stat topStat {};
    if (::fstat(first.fd.get(), &topStat) == 0)
        seen.emplace(topStat.st_dev, topStat.st_ino);
    readFolder(first, pattern);
    // Depth first, each folder's names in list order: the entries come in the lists' order
    // (but where two folders' names differ in case only), so that the list need not sort them.
    std::vector<WalkFolder> path;
    path.push_back(std::move(first));
    std::vector<DirEntry> entries;
    bool goOn = true;
    while (!path.empty() && goOn) {
        WalkFolder &current = path.back();
        if (current.next == current.items.size()) {
            path.pop_back();
            // Each folder's entries reach the caller before the walk waits on the next folder.
            if (!entries.empty()) {
                goOn = batch(entries);
                entries.clear();
            }
            continue;
        }
        WalkFolder::Item &item = current.items[current.next++];
        if (item.name.endsWith(QLatin1Char('/'))) {
            WalkFolder inner;
            inner.relative = current.relative + item.raw + '/';
            inner.prefix = item.name;
            // Opened where it was found, never through a link; a folder seen before (a bind
            // mount of one above it) is not walked again.
            inner.fd.reset(::openat(current.fd.get(), item.raw.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            struct stat inside {};
            if (inner.fd.get() == -1) {
                DirEntry failed;
                failed.name = inner.prefix;
                failed.statError = RunTimeError::fromErrno(errno, PathKind::Folder).number;
                entries.push_back(std::move(failed));
            } else if (::fstat(inner.fd.get(), &inside) == 0 && seen.emplace(inside.st_dev, inside.st_ino).second) {
                readFolder(inner, pattern);
                path.push_back(std::move(inner));
            }
            continue;
        }
        DirEntry entry;
        // A link to a folder is neither walked nor listed, nor is a name that became a folder
        // since it was read.
        if (!statEntry(current.fd.get(), item.raw.constData(), entry.stat, entry.statError))
            continue;
        entry.name = std::move(item.name);
        entries.push_back(std::move(entry));
        if (entries.size() >= 1024) {
            goOn = batch(entries);
            entries.clear();
        }
    }
    return {};
}

} // namespace dyadix
