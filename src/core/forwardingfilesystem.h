#pragma once

// A file system that hands every operation to another one.

#include "filesystem.h"

namespace dyadix {

// A file system that hands every operation to another one; a class that changes a few of
// them (where they run, what they fail with) derives from it and overrides just those.
class ForwardingFileSystem : public FileSystem
{
public:
    explicit ForwardingFileSystem(FileSystem &inner)
        : m_inner(inner)
    {
    }

    Result<std::vector<DirEntry>> enumerate(const QString &folder, const QString &pattern) override
    {
        return m_inner.enumerate(folder, pattern);
    }
    Status walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch) override
    {
        return m_inner.walkTree(folder, pattern, batch);
    }
    Status listFolder(const QString &folder, const QString &pattern, const TreeBatch &batch) override
    {
        return m_inner.listFolder(folder, pattern, batch);
    }
    Result<int> GetAttr(const QString &path) override { return m_inner.GetAttr(path); }
    Result<std::int64_t> FileDateTime(const QString &path) override { return m_inner.FileDateTime(path); }
    Result<std::int64_t> FileLen(const QString &path) override { return m_inner.FileLen(path); }
    std::vector<Result<Contents>> compareContents(const std::vector<ContentPair> &pairs,
                                                  const CopyProgress &progress = {}) override
    {
        return m_inner.compareContents(pairs, progress);
    }
    bool namesFoldCase(const QString &folder) override { return m_inner.namesFoldCase(folder); }
    Status flushToDisk(const QStringList &files) override { return m_inner.flushToDisk(files); }
    Result<int> FileCopy(const QString &source, const QString &target, const CopyProgress &progress = {},
                         Replaced replaced = Replaced::Dropped) override
    {
        return m_inner.FileCopy(source, target, progress, replaced);
    }
    Status makeFolders(const QString &targetFolder, const QString &relativeFolder,
                       const QString &sourceFolder) override
    {
        return m_inner.makeFolders(targetFolder, relativeFolder, sourceFolder);
    }
    Status writeFile(const QString &path, const QByteArray &content,
                     SpecialTarget special = SpecialTarget::Refuse) override
    {
        return m_inner.writeFile(path, content, special);
    }
    Status Kill(const QString &path) override { return m_inner.Kill(path); }
    Status moveToTrash(const QString &path) override { return m_inner.moveToTrash(path); }
    Result<QStringList> subfolders(const QString &folder) override { return m_inner.subfolders(folder); }
    bool folderExists(const QString &path) override { return m_inner.folderExists(path); }
    std::vector<Volume> volumes() override { return m_inner.volumes(); }
    Result<QString> volumeOf(const QString &path) override { return m_inner.volumeOf(path); }
    QString currentFolder() override { return m_inner.currentFolder(); }

protected:
    FileSystem &m_inner;
};

} // namespace dyadix
