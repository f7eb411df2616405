#pragma once

#include "runtime/filesystem.h"

#include <atomic>
#include <map>
#include <vector>

namespace dyadix::test {

// The operations of FileSystem that a fault can be set on. EntryStat is the stat that
// enumerate takes of each file it finds.
enum class FsOperation {
    Enumerate,
    Subfolders,
    EntryStat,
    GetAttr,
    FileDateTime,
    FileLen,
    FileCopy,
    WriteFile,
    Kill,
    VolumeOf,
};

// Wraps another FileSystem and makes chosen calls fail: the nth call (counted from 1) of an
// operation, or every call from the nth on, optionally only for paths that end with a text.
class FaultyFileSystem final : public FileSystem
{
public:
    explicit FaultyFileSystem(FileSystem &real)
        : m_real(real)
    {
    }

    enum class Repeat { Once, Always };
    void failOn(FsOperation operation, RunTimeError error, int nth = 1,
                const QString &pathEnding = QString(), Repeat repeat = Repeat::Once);
    // Calls of an operation so far, failed ones included.
    int calls(FsOperation operation) const;

    // Files that enumerate adds to a folder's real ones (the folder text ends in '/'); their
    // time and length read back from here.
    void addVirtualFiles(const QString &folderText, std::vector<DirEntry> files);
    // A volume the drive lists offer although nothing is mounted there.
    void addVirtualVolume(const QString &rootPath) { m_extraVolumes.push_back({rootPath, {}}); }
    // Enumerations return their files sorted by name, so a test knows their order.
    void sortEnumerations() { m_sorted = true; }

    Result<std::vector<DirEntry>> enumerate(const QString &folder,
                                            const QString &pattern) override;
    Result<int> GetAttr(const QString &path) override;
    Result<std::int64_t> FileDateTime(const QString &path) override;
    Result<std::int64_t> FileLen(const QString &path) override;
    Status FileCopy(const QString &source, const QString &target,
                    const CopyProgress &progress = {}) override;
    // The next copy, once it has copied its first part, waits (on the thread it runs on) until
    // its caller tells it to stop, as a copy of a large file does that is stopped midway.
    void holdNextCopyUntilStopped() { m_holdCopy = true; }
    Status writeFile(const QString &path, const QByteArray &content) override;
    Status Kill(const QString &path) override;
    Result<QStringList> subfolders(const QString &folder) override;
    bool folderExists(const QString &path) override;
    std::vector<Volume> volumes() override;
    Result<QString> volumeOf(const QString &path) override;
    QString currentFolder() override;

private:
    struct Fault
    {
        FsOperation operation;
        RunTimeError error;
        int nth;
        QString pathEnding;
        Repeat repeat;
        int matching = 0;
        bool spent = false;
    };
    // Counts the call and returns the error of a fault that fires on it.
    std::optional<RunTimeError> check(FsOperation operation, const QString &path);

    const DirEntry *virtualFile(const QString &path) const;

    FileSystem &m_real;
    std::atomic<bool> m_holdCopy = false;
    std::map<QString, std::vector<DirEntry>> m_virtualFiles;
    std::vector<Volume> m_extraVolumes;
    bool m_sorted = false;
    std::vector<Fault> m_faults;
    std::map<FsOperation, int> m_calls;
};

} // namespace dyadix::test
