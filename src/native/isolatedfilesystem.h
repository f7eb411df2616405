#pragma once

#include "core/forwardingfilesystem.h"

#include <mutex>

namespace dyadix {

// This machine's file system, with the operations that a copy, move or delete waits on (the
// copy itself, the delete, the look at the target, the folders made) run in a helper process
// when they touch a network folder. A thread that waits on a network folder that stopped
// answering can hold its whole process for good: the kernel ends no process while one of its
// threads waits on such a folder. A helper process waiting there keeps the program free to end
// the moment it is told to; the helper then finishes by itself once the folder answers,
// removing any file it had not completed. Local disks answer; their files are worked on in the
// program itself, which spares each file the trip to the helper and back. Everything else, and
// everything while no helper runs, goes to the file system given.
class IsolatedFileSystem final : public ForwardingFileSystem
{
public:
    // Which operations go to the helper: those that touch a network folder (a FUSE, NFS, SMB
    // or other network file system, by the mount table, without touching the path), or all
    // of them.
    enum class Route { NetworkFolders, Everything };

    // Starts the helper. It must be called while the program has no other thread (first thing
    // in main), since the helper is a copy of the process at that moment.
    static void startHelper();

    explicit IsolatedFileSystem(FileSystem &inProcess, Route route = Route::NetworkFolders)
        : ForwardingFileSystem(inProcess)
        , m_route(route)
    {
    }

    // The mount table that tells network folders from local ones.
    QString mountTable = QStringLiteral("/proc/self/mounts");

    Result<int> GetAttr(const QString &path) override;
    Result<std::int64_t> FileDateTime(const QString &path) override;
    Result<std::int64_t> FileLen(const QString &path) override;
    Status FileCopy(const QString &source, const QString &target, const CopyProgress &progress = {},
                    Replaced replaced = Replaced::Dropped) override;
    Status makeFolders(const QString &targetFolder, const QString &relativeFolder,
                       const QString &sourceFolder) override;
    Status Kill(const QString &path) override;
    Status moveToTrash(const QString &path) override;

    // What the helper answered: its error (number 0: none) and value; not `ran` when there is
    // no helper to run it or it is busy with another caller's (the caller then runs it itself).
    struct Answer
    {
        bool ran = false;
        RunTimeError error;
        std::int64_t value = 0;
    };

private:
    Answer inHelper(char operation, const QString &first, const QString &second = {},
                    const CopyProgress &progress = {}, const QString &third = {});

    // Whether an operation on these paths goes to the helper.
    bool routed(const QString &first, const QString &second = {});

    Route m_route;
    std::mutex m_helper;
    // The mount points of network file systems, read again when older than a moment.
    QStringList m_networkMounts;
    qint64 m_mountsReadAt = -1;
};

} // namespace dyadix
