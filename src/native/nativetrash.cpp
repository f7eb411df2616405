#include "nativetrash.h"

#include "nativeposix.h"

#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace dyadix::native {

namespace {

// A folder of the Trash, made when missing (only this user may enter it); an existing one must
// be a folder of this user's, not a link (which could lead anywhere).
bool ownFolder(const QByteArray &path)
{
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

// The folders above `folder` up to the first that exists, made in turn ($XDG_DATA_HOME may
// not exist yet).
bool madeWithParents(const QByteArray &folder)
{
    struct stat st {};
    if (::stat(folder.constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const QByteArray parent = parentOf(folder);
    return parent != folder && madeWithParents(parent) && (::mkdir(folder.constData(), 0700) == 0 || errno == EEXIST);
}

QByteArray homeTrash()
{
    QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    if (!dataHome.startsWith('/'))
        dataHome = qgetenv("HOME") + "/.local/share";
    return dataHome + "/Trash";
}

// The device of a folder, or of the nearest one above it that exists.
dev_t deviceOf(QByteArray folder)
{
    struct stat st {};
    while (::stat(folder.constData(), &st) != 0 && folder != "/")
        folder = parentOf(folder);
    return st.st_dev;
}

// The top folder of the volume that holds `path` (whose device is `device`).
QByteArray topFolder(const QByteArray &path, dev_t device)
{
    QByteArray top = parentOf(path);
    for (QByteArray up = parentOf(top); top != "/"; top = up, up = parentOf(top)) {
        struct stat st {};
        if (::stat(up.constData(), &st) != 0 || st.st_dev != device)
            break;
    }
    return top;
}

struct TrashFolder
{
    QByteArray root;
    QByteArray topdir; // the info files' paths are relative to it; empty: absolute
};

Result<TrashFolder> trashFor(const QByteArray &path, dev_t device)
{
    const QByteArray uid = QByteArray::number(qulonglong(::getuid()));
    std::optional<TrashFolder> trash;
    const QByteArray home = homeTrash();
    if (deviceOf(home) == device) {
        if (madeWithParents(parentOf(home)) && ownFolder(home))
            trash = TrashFolder {home, {}};
    } else {
        const QByteArray top = topFolder(path, device);
        const QByteArray base = top == "/" ? QByteArray() : top;
        struct stat shared {};
        // An administrator's .Trash, sticky so that no user can take another's.
        if (::lstat((base + "/.Trash").constData(), &shared) == 0 && S_ISDIR(shared.st_mode)
            && (shared.st_mode & S_ISVTX) != 0 && ownFolder(base + "/.Trash/" + uid))
            trash = TrashFolder {base + "/.Trash/" + uid, top};
        else if (ownFolder(base + "/.Trash-" + uid))
            trash = TrashFolder {base + "/.Trash-" + uid, top};
    }
    if (!trash || !ownFolder(trash->root + "/files") || !ownFolder(trash->root + "/info")
        || deviceOf(trash->root + "/files") != device)
        return ErrorNumber::TrashUnavailable;
    return *trash;
}

QByteArray infoText(const QByteArray &path, const QByteArray &topdir)
{
    const QByteArray shown = topdir.isEmpty() ? path : path.mid(topdir == "/" ? 1 : topdir.size() + 1);
    char when[32] = {};
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&now, &local);
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + shown.toPercentEncoding("/") + "\nDeletionDate=" + when + "\n";
}

} // namespace

Result<Trashed> putInTrash(const QByteArray &path, const struct stat &st, Placing placing)
{
    const Result<TrashFolder> trash = trashFor(path, st.st_dev);
    if (!trash)
        return trash.error();
    // The name in the Trash leaves room for ".trashinfo" and a number within a file name's
    // 255 bytes; the info file keeps the whole original path.
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1).left(NAME_MAX - 16);
    // The info file claims a name no other file in the Trash has: created, never replaced.
    for (int n = 1; n < 10000; ++n) {
        const QByteArray taken = n == 1 ? name : name + '.' + QByteArray::number(n);
        const Trashed trashed {trash->root + "/files/" + taken, trash->root + "/info/" + taken + ".trashinfo"};
        struct stat existing {};
        if (::lstat(trashed.file.constData(), &existing) == 0)
            continue;
        FileDescriptor info(::open(trashed.info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (info.get() == -1) {
            if (errno == EEXIST)
                continue;
            return RunTimeError(ErrorNumber::TrashUnavailable);
        }
        const QByteArray text = infoText(path, trash->topdir);
        const bool written = ::write(info.get(), text.constData(), std::size_t(text.size())) == text.size();
        const bool placed = written && info.close()
            && (placing == Placing::Move ? ::rename(path.constData(), trashed.file.constData())
                                         : ::link(path.constData(), trashed.file.constData()))
                == 0;
        if (placed)
            return trashed;
        const int reason = written ? errno : ENOSPC;
        ::unlink(trashed.info.constData());
        return RunTimeError::fromErrno(reason);
    }
    return RunTimeError(ErrorNumber::TrashUnavailable);
}

void forget(const Trashed &trashed)
{
    ::unlink(trashed.file.constData());
    ::unlink(trashed.info.constData());
}

} // namespace dyadix::native
