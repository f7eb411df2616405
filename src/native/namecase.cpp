#include "nativefilesystem.h"

// Whether a folder's file system tells names apart by case, found by looking a name up.

#include "core/utf8names.h"
#include "nativeposix.h"

#include <cerrno>
#include <dirent.h>
#include <memory>
#include <optional>

namespace dyadix {

using namespace native;

namespace {

// The name with the case of its ASCII letters swapped; empty where it has none.
QByteArray caseSwapped(const QByteArray &name)
{
    QByteArray swapped = name;
    bool changed = false;
    for (char &c : swapped) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            c = char(c ^ 0x20);
            changed = true;
        }
    }
    return changed ? swapped : QByteArray();
}

// Whether `name` in `folder` is also found by its case-swapped name, with no entry of that name
// of its own: the file system folds case. Unknown (no letters to swap) gives nothing.
std::optional<bool> foldsCase(const QByteArray &folder, const QByteArray &name)
{
    const QByteArray swapped = caseSwapped(name);
    if (swapped.isEmpty())
        return std::nullopt;
    struct stat st {};
    if (::lstat((folder + swapped).constData(), &st) != 0)
        return errno == ENOENT ? std::optional<bool>(false) : std::nullopt;
    // Found: by folding, or a twin of that very name stands beside it.
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.constData()), ::closedir);
    if (!dir)
        return std::nullopt;
    while (const dirent *entry = ::readdir(dir.get())) {
        if (swapped == entry->d_name)
            return false;
    }
    return true;
}

} // namespace

bool NativeFileSystem::namesFoldCase(const QString &folder)
{
    const QByteArray path = encodeUtf8Name(withSeparator(folder));
    // A name in the folder with letters, looked up with their case swapped.
    {
        const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(path.constData()), ::closedir);
        while (dir) {
            const dirent *entry = ::readdir(dir.get());
            if (entry == nullptr)
                break;
            if (!caseSwapped(entry->d_name).isEmpty()) {
                const QByteArray name = entry->d_name;
                if (const std::optional<bool> folds = foldsCase(path, name))
                    return *folds;
                break;
            }
        }
    }
    // Else the folder's own name, where its parent is on the same volume.
    const QByteArray self = path.chopped(1), parent = parentOf(self);
    struct stat here {}, above {};
    if (self.isEmpty() || ::stat(self.constData(), &here) != 0 || ::stat(parent.constData(), &above) != 0
        || here.st_dev != above.st_dev)
        return true;
    return foldsCase(parent.endsWith('/') ? parent : parent + '/', self.mid(self.lastIndexOf('/') + 1)).value_or(true);
}

} // namespace dyadix
