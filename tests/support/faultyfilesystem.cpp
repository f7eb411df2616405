#include "faultyfilesystem.h"

#include <chrono>
#include <thread>

#include "runtime/wildcard.h"

#include <algorithm>

namespace dyadix::test {

void FaultyFileSystem::failOn(FsOperation operation, RunTimeError error, int nth,
                              const QString &pathEnding, Repeat repeat)
{
    m_faults.push_back({operation, std::move(error), nth, pathEnding, repeat});
}

int FaultyFileSystem::calls(FsOperation operation) const
{
    const auto found = m_calls.find(operation);
    return found == m_calls.end() ? 0 : found->second;
}

std::optional<RunTimeError> FaultyFileSystem::check(FsOperation operation, const QString &path)
{
    ++m_calls[operation];
    for (Fault &fault : m_faults) {
        if (fault.operation != operation || fault.spent)
            continue;
        if (!fault.pathEnding.isEmpty() && !path.endsWith(fault.pathEnding))
            continue;
        if (++fault.matching < fault.nth)
            continue;
        if (fault.repeat == Repeat::Once)
            fault.spent = true;
        return fault.error;
    }
    return std::nullopt;
}

Result<std::vector<DirEntry>> FaultyFileSystem::enumerate(const QString &folder,
                                                          const QString &pattern)
{
    if (auto error = check(FsOperation::Enumerate, folder))
        return *error;
    QString base = folder;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    const auto virtualFolder = m_virtualFiles.find(base);
    Result<std::vector<DirEntry>> entries = virtualFolder != m_virtualFiles.end() && !m_real.folderExists(folder)
        ? Result<std::vector<DirEntry>>(std::vector<DirEntry>())
        : m_real.enumerate(folder, pattern);
    if (!entries)
        return entries;
    if (virtualFolder != m_virtualFiles.end()) {
        for (const DirEntry &file : virtualFolder->second) {
            if (matchesWildcard(file.name, pattern))
                entries->push_back(file);
        }
    }
    if (m_sorted)
        std::sort(entries->begin(), entries->end(),
                  [](const DirEntry &a, const DirEntry &b) { return a.name < b.name; });
    for (DirEntry &entry : *entries) {
        if (auto error = check(FsOperation::EntryStat, base + entry.name))
            entry.statError = error->number;
    }
    return entries;
}

Result<int> FaultyFileSystem::GetAttr(const QString &path)
{
    if (auto error = check(FsOperation::GetAttr, path))
        return *error;
    return m_real.GetAttr(path);
}

Result<std::int64_t> FaultyFileSystem::FileDateTime(const QString &path)
{
    if (auto error = check(FsOperation::FileDateTime, path))
        return *error;
    if (const DirEntry *file = virtualFile(path))
        return file->stat.modified;
    return m_real.FileDateTime(path);
}

Result<std::int64_t> FaultyFileSystem::FileLen(const QString &path)
{
    if (auto error = check(FsOperation::FileLen, path))
        return *error;
    if (const DirEntry *file = virtualFile(path))
        return file->stat.size;
    return m_real.FileLen(path);
}

Status FaultyFileSystem::FileCopy(const QString &source, const QString &target,
                                  const CopyProgress &progress)
{
    if (auto error = check(FsOperation::FileCopy, target))
        return *error;
    if (!m_holdCopy.exchange(false) || !progress)
        return m_real.FileCopy(source, target, progress);
    return m_real.FileCopy(source, target, [&progress](std::int64_t done) {
        // Holds for at most 20 seconds; a copy that nobody stopped then goes on to the end.
        for (int waited = 0; waited < 20000; ++waited) {
            if (!progress(done))
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    });
}

Status FaultyFileSystem::writeFile(const QString &path, const QByteArray &content)
{
    if (auto error = check(FsOperation::WriteFile, path))
        return *error;
    return m_real.writeFile(path, content);
}

Status FaultyFileSystem::Kill(const QString &path)
{
    if (auto error = check(FsOperation::Kill, path))
        return *error;
    return m_real.Kill(path);
}

Result<QStringList> FaultyFileSystem::subfolders(const QString &folder)
{
    if (auto error = check(FsOperation::Subfolders, folder))
        return *error;
    return m_real.subfolders(folder);
}

bool FaultyFileSystem::folderExists(const QString &path) { return m_real.folderExists(path); }

std::vector<Volume> FaultyFileSystem::volumes()
{
    std::vector<Volume> all = m_real.volumes();
    all.insert(all.end(), m_extraVolumes.begin(), m_extraVolumes.end());
    return all;
}

void FaultyFileSystem::addVirtualFiles(const QString &folderText, std::vector<DirEntry> files)
{
    auto &folder = m_virtualFiles[folderText];
    folder.insert(folder.end(), std::make_move_iterator(files.begin()),
                  std::make_move_iterator(files.end()));
}

const DirEntry *FaultyFileSystem::virtualFile(const QString &path) const
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const auto folder = m_virtualFiles.find(path.left(slash + 1));
    if (folder == m_virtualFiles.end())
        return nullptr;
    const QString name = path.mid(slash + 1);
    const auto found = std::find_if(folder->second.begin(), folder->second.end(),
                                    [&](const DirEntry &file) { return file.name == name; });
    return found == folder->second.end() ? nullptr : &*found;
}

Result<QString> FaultyFileSystem::volumeOf(const QString &path)
{
    if (auto error = check(FsOperation::VolumeOf, path))
        return *error;
    for (const Volume &volume : m_extraVolumes) {
        if (path.startsWith(volume.rootPath) || path + QLatin1Char('/') == volume.rootPath)
            return volume.rootPath;
    }
    return m_real.volumeOf(path);
}

QString FaultyFileSystem::currentFolder() { return m_real.currentFolder(); }

} // namespace dyadix::test
