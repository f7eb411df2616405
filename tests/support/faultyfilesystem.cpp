#include "faultyfilesystem.h"

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
    Result<std::vector<DirEntry>> entries = m_real.enumerate(folder, pattern);
    if (!entries)
        return entries;
    QString base = folder;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    for (DirEntry &entry : *entries) {
        if (auto error = check(FsOperation::EntryStat, base + entry.name))
            entry.statError = *error;
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
    return m_real.FileDateTime(path);
}

Result<std::int64_t> FaultyFileSystem::FileLen(const QString &path)
{
    if (auto error = check(FsOperation::FileLen, path))
        return *error;
    return m_real.FileLen(path);
}

Status FaultyFileSystem::FileCopy(const QString &source, const QString &target)
{
    if (auto error = check(FsOperation::FileCopy, target))
        return *error;
    return m_real.FileCopy(source, target);
}

Status FaultyFileSystem::Kill(const QString &path)
{
    if (auto error = check(FsOperation::Kill, path))
        return *error;
    return m_real.Kill(path);
}

bool FaultyFileSystem::folderExists(const QString &path) { return m_real.folderExists(path); }

std::vector<Volume> FaultyFileSystem::volumes() { return m_real.volumes(); }

Result<QString> FaultyFileSystem::volumeOf(const QString &path)
{
    if (auto error = check(FsOperation::VolumeOf, path))
        return *error;
    return m_real.volumeOf(path);
}

QString FaultyFileSystem::currentFolder() { return m_real.currentFolder(); }

} // namespace dyadix::test
