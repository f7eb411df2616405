#pragma once

// The real file system with faults on request: the nth call of an operation fails.

#include "core/forwardingfilesystem.h"

#include "core/utf8names.h"
#include <QDir>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace dyadix::test {

enum class FsOperation { Enumerate, EntryStat, FileDateTime, FileCopy, WriteFile, Kill, Trash, Compare };

// The real file system, but the nth call of an operation (for a path that ends with a text, if one is given) fails. EntryStat is the stat
// that a listing takes of each file it finds; listings come sorted by name (a batch at a time), so that a test knows which file a fault hits.
class FaultyFileSystem final : public ForwardingFileSystem
{
public:
    explicit FaultyFileSystem(FileSystem &real) : ForwardingFileSystem(real), m_real(real) {}
    void failOn(FsOperation op, RunTimeError error, int nth = 1, const QString &ending = {})
    {
        m_faults.push_back({op, std::move(error), nth, ending});
    }
    // A volume the drive lists offer although nothing is mounted there.
    void addVolume(const QString &root, const QString &label = {}) { m_extraVolumes.push_back({root, label}); }
    // Runs as a tree walk hands over each batch: what the user does meanwhile.
    std::function<void()> onTreeBatch;
    // The folders under this one (all under "/") are on a file system that takes names one but for case for one name.
    QString namesFoldCaseUnder;
    bool namesFoldCase(const QString &folder) override
    {
        return (!namesFoldCaseUnder.isEmpty() && (folder + '/').startsWith(namesFoldCaseUnder)) || m_real.namesFoldCase(folder);
    }
    // Copies get the time they were made, as on a drive that keeps no file times.
    bool restampsCopies = false;
    // Copies lose their user attributes, as on a drive that holds none.
    bool holdsNoAttributes = false;
    // Runs before copies are flushed to disk: what the user does meanwhile.
    std::function<void()> beforeFlush;
    Status flushToDisk(const QStringList &files) override
    {
        if (beforeFlush)
            beforeFlush();
        return m_real.flushToDisk(files);
    }
    // The next copy, once it has copied its first part, or the next comparison, before it starts, waits until its caller stops it.
    void holdNextWorkUntilStopped() { m_holdCopy = true; }
    // The next copy, once it has copied its first part, goes on slowly for 2.5 s: a large file on a slow disk, its bytes still moving.
    void slowNextCopy() { m_slowCopy = true; }

    Result<std::vector<DirEntry>> enumerate(const QString &folder, const QString &pattern) override
    {
        if (auto error = check(FsOperation::Enumerate, QDir::cleanPath(folder) + '/'))
            return *error;
        Result<std::vector<DirEntry>> entries = m_real.enumerate(folder, pattern);
        if (entries) {
            std::sort(entries->begin(), entries->end(), [](auto &a, auto &b) { return a.name < b.name; });
            for (DirEntry &entry : *entries) {
                if (auto error = check(FsOperation::EntryStat, folder + '/' + entry.name))
                    entry.statError = error->number;
            }
        }
        return entries;
    }
    // A folder is listed in the real batches; each batch comes sorted by name, its faults in.
    Status listFolder(const QString &folder, const QString &pattern, const TreeBatch &batch) override
    {
        if (auto error = check(FsOperation::Enumerate, QDir::cleanPath(folder) + '/'))
            return *error;
        return m_real.listFolder(folder, pattern, [&](std::vector<DirEntry> &entries) {
            std::sort(entries.begin(), entries.end(), [](auto &a, auto &b) { return a.name < b.name; });
            for (DirEntry &entry : entries) {
                if (auto error = check(FsOperation::EntryStat, folder + '/' + entry.name))
                    entry.statError = error->number;
            }
            return batch(entries);
        });
    }
#define DYADIX_FAULT(op, path) if (auto error = check(FsOperation::op, path)) return *error
    Result<std::int64_t> FileDateTime(const QString &path) override { DYADIX_FAULT(FileDateTime, path); return m_real.FileDateTime(path); }
    Status Kill(const QString &path) override { DYADIX_FAULT(Kill, path); return m_real.Kill(path); }
    Status moveToTrash(const QString &path) override { DYADIX_FAULT(Trash, path); return m_real.moveToTrash(path); }
    Status writeFile(const QString &path, const QByteArray &data, SpecialTarget special = SpecialTarget::Refuse) override { DYADIX_FAULT(WriteFile, path); return m_real.writeFile(path, data, special); }
    Result<int> FileCopy(const QString &source, const QString &target, const CopyProgress &progress = {}, Replaced replaced = Replaced::Dropped) override
    {
        DYADIX_FAULT(FileCopy, target);
        Result<int> copied = m_real.FileCopy(source, target, held(progress), replaced);
        if (copied && restampsCopies && ::utimensat(AT_FDCWD, encodeUtf8Name(target).constData(), nullptr, 0) != 0)
            return ErrorNumber::DeviceIoError;
        return copied && holdsNoAttributes ? Result<int>(AttributeKind::User) : copied;
    }
    // A fault for a pair's first file fails that pair; the rest are compared.
    std::vector<Result<Contents>> compareContents(const std::vector<ContentPair> &pairs, const CopyProgress &progress = {}) override
    {
        // Held, a comparison waits before its first byte, as on a slow disk, until it is stopped.
        if (m_holdCopy && progress)
            held(progress)(0);
        std::vector<Result<Contents>> results = m_real.compareContents(pairs, progress);
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            if (auto error = check(FsOperation::Compare, pairs[i].first))
                results[i] = *error;
        }
        return results;
    }
    Result<QString> volumeOf(const QString &path) override
    {
        for (const Volume &volume : m_extraVolumes) {
            if ((path + '/').startsWith(volume.rootPath))
                return volume.rootPath;
        }
        return m_real.volumeOf(path);
    }
#undef DYADIX_FAULT
    std::vector<Volume> volumes() override
    {
        std::vector<Volume> all = m_real.volumes();
        all.insert(all.end(), m_extraVolumes.begin(), m_extraVolumes.end());
        return all;
    }
    Status walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch) override
    {
        if (auto error = check(FsOperation::Enumerate, QDir::cleanPath(folder) + '/'))
            return *error;
        return m_real.walkTree(folder, pattern, [&](std::vector<DirEntry> &entries) {
            if (onTreeBatch)
                onTreeBatch();
            for (DirEntry &entry : entries) {
                if (auto error = check(FsOperation::EntryStat, QDir::cleanPath(folder) + '/' + entry.name); error && !entry.name.endsWith('/'))
                    entry.statError = error->number;
            }
            return batch(entries);
        });
    }

private:
    // The progress of a copy or comparison held, when asked, once its first part is done.
    CopyProgress held(const CopyProgress &progress)
    {
        if (m_slowCopy.exchange(false) && progress) {
            return [progress, first = true](std::int64_t done) mutable {
                for (int step = 1; first && step <= 2500; ++step) {
                    if (!progress(done * step / 2500))
                        return false;
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                first = false;
                return progress(done);
            };
        }
        if (!m_holdCopy.exchange(false) || !progress)
            return progress;
        return [progress](std::int64_t done) {
            for (int waited = 0; waited < 20000; ++waited) { // at most 20 s, then on to the end
                if (!progress(done))
                    return false;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return true;
        };
    }
    struct Fault { FsOperation op; RunTimeError error; int nth; QString ending; };
    std::optional<RunTimeError> check(FsOperation op, const QString &path)
    {
        for (auto fault = m_faults.begin(); fault != m_faults.end(); ++fault) {
            if (fault->op == op && path.endsWith(fault->ending) && --fault->nth == 0) {
                RunTimeError error = fault->error;
                m_faults.erase(fault);
                return error;
            }
        }
        return std::nullopt;
    }
    FileSystem &m_real;
    std::atomic<bool> m_holdCopy = false;
    std::atomic<bool> m_slowCopy = false;
    std::vector<Volume> m_extraVolumes;
    std::vector<Fault> m_faults;
};

} // namespace dyadix::test
