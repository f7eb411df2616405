#pragma once

#include "runtime/filesystem.h"

#include <QStringList>

#include <atomic>
#include <future>
#include <memory>

namespace dyadix {

// The file system, with the walks of one folder's tree under a filter's patterns started on a
// thread of their own at once: while one pane lists its tree, the other pane's tree is walked
// on the other core, and that pane's listing then takes the entries as the walk found them.
// Everything else goes to the file system given.
class TreePrefetch final : public FileSystem
{
public:
    TreePrefetch(FileSystem &real, const QString &folder, const QStringList &patterns);
    ~TreePrefetch() override;

    Status walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch) override;

    Result<std::vector<DirEntry>> enumerate(const QString &folder, const QString &pattern) override
    {
        return m_real.enumerate(folder, pattern);
    }
    Result<int> GetAttr(const QString &path) override { return m_real.GetAttr(path); }
    Result<std::int64_t> FileDateTime(const QString &path) override { return m_real.FileDateTime(path); }
    Result<std::int64_t> FileLen(const QString &path) override { return m_real.FileLen(path); }
    Status FileCopy(const QString &source, const QString &target, const CopyProgress &progress = {},
                    Replaced replaced = Replaced::Dropped) override
    {
        return m_real.FileCopy(source, target, progress, replaced);
    }
    Status makeFolders(const QString &target, const QString &relative, const QString &source) override
    {
        return m_real.makeFolders(target, relative, source);
    }
    Status writeFile(const QString &path, const QByteArray &content, SpecialTarget special = SpecialTarget::Refuse) override
    {
        return m_real.writeFile(path, content, special);
    }
    Status Kill(const QString &path) override { return m_real.Kill(path); }
    Status moveToTrash(const QString &path) override { return m_real.moveToTrash(path); }
    Result<QStringList> subfolders(const QString &folder) override { return m_real.subfolders(folder); }
    bool folderExists(const QString &path) override { return m_real.folderExists(path); }
    std::vector<Volume> volumes() override { return m_real.volumes(); }
    Result<QString> volumeOf(const QString &path) override { return m_real.volumeOf(path); }
    QString currentFolder() override { return m_real.currentFolder(); }

private:
    struct Walk
    {
        std::vector<std::vector<DirEntry>> batches;
        Status status;
    };
    FileSystem &m_real;
    QString m_folder;
    QStringList m_patterns;
    int m_next = 0; // the next pattern whose walk a listing takes
    std::atomic<bool> m_stop = false;
    std::future<std::vector<Walk>> m_walks;
    std::vector<Walk> m_taken;
};

} // namespace dyadix
