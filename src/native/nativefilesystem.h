#pragma once

// This machine's file system, through POSIX calls.

#include "core/filesystem.h"

namespace dyadix {

// The file system of this machine, through POSIX calls: one readdir pass and one stat per
// matching name.
class NativeFileSystem final : public FileSystem
{
public:
    Result<std::vector<DirEntry>> enumerate(const QString &folder,
                                            const QString &pattern) override;
    Status walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch) override;
    Status listFolder(const QString &folder, const QString &pattern, const TreeBatch &batch) override;
    Result<int> GetAttr(const QString &path) override;
    Result<std::int64_t> FileDateTime(const QString &path) override;
    Result<std::int64_t> FileLen(const QString &path) override;
    std::vector<Result<Contents>> compareContents(const std::vector<ContentPair> &pairs,
                                                  const CopyProgress &progress = {}) override;
    Result<int> FileCopy(const QString &source, const QString &target, const CopyProgress &progress = {},
                    Replaced replaced = Replaced::Dropped) override;
    Status writeFile(const QString &path, const QByteArray &content,
                     SpecialTarget special = SpecialTarget::Refuse) override;
    Status makeFolders(const QString &targetFolder, const QString &relativeFolder,
                       const QString &sourceFolder) override;
    Status flushToDisk(const QStringList &files) override;
    Status Kill(const QString &path) override;
    Status moveToTrash(const QString &path) override;
    bool namesFoldCase(const QString &folder) override;
    Result<QStringList> subfolders(const QString &folder) override;
    bool folderExists(const QString &path) override;
    std::vector<Volume> volumes() override;
    Result<QString> volumeOf(const QString &path) override;
    QString currentFolder() override;
};

} // namespace dyadix
