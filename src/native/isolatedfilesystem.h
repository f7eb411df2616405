#pragma once

// This machine's file system, with the operations that may wait on a network folder routed
// to the file helper.

#include "mounttable.h"

#include "core/forwardingfilesystem.h"

namespace dyadix {

// The operations that a copy, move or delete waits on (the copy itself, the delete, the look
// at the target, the folders made) run in the helper process when they touch a network folder.
// A thread that waits on a network folder that stopped answering can hold its whole process
// for good: the kernel ends no process while one of its threads waits on such a folder. A
// helper process waiting there keeps the program free to end the moment it is told to; the
// helper then finishes by itself once the folder answers, removing any file it had not
// completed. Local disks answer; their files are worked on in the program itself, which spares
// each file the trip to the helper and back. Everything else, and everything while no helper
// runs (or while it is busy with another caller's), goes to the file system given.
class IsolatedFileSystem final : public ForwardingFileSystem
{
public:
    // Which operations go to the helper: those that touch a network folder (by the mount
    // table, without touching the path), or all of them.
    enum class Route { NetworkFolders, Everything };

    // Starts the helper. It must be called while the program has no other thread (first thing
    // in main), since the helper is a copy of the process at that moment.
    static void startHelper();

    explicit IsolatedFileSystem(FileSystem &inProcess, Route route = Route::NetworkFolders)
        : ForwardingFileSystem(inProcess)
        , m_route(route)
    {
    }

    // The mount table that tells network folders from local ones (by default the process's).
    void setMountTable(const QString &table) { m_networkMounts.setTable(table); }

    Result<int> GetAttr(const QString &path) override;
    Result<std::int64_t> FileDateTime(const QString &path) override;
    Result<std::int64_t> FileLen(const QString &path) override;
    std::vector<Result<Contents>> compareContents(const std::vector<ContentPair> &pairs,
                                                  const CopyProgress &progress = {}) override;
    // A network folder is not looked into for this (it may not answer, and the window asks):
    // it is taken not to tell case apart, which is safe either way (a server that folds case,
    // as a Windows share does, would otherwise take a copy of one name onto another).
    bool namesFoldCase(const QString &folder) override { return routed(folder) || m_inner.namesFoldCase(folder); }
    Status flushToDisk(const QStringList &files) override;
    Result<int> FileCopy(const QString &source, const QString &target, const CopyProgress &progress = {},
                    Replaced replaced = Replaced::Dropped) override;
    Status makeFolders(const QString &targetFolder, const QString &relativeFolder,
                       const QString &sourceFolder) override;
    Status Kill(const QString &path) override;
    Status moveToTrash(const QString &path) override;

private:
    // Whether an operation on these paths goes to the helper.
    bool routed(const QString &path, const QString &otherPath = {});

    Route m_route;
    native::NetworkMounts m_networkMounts;
};

} // namespace dyadix
