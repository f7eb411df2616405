#pragma once

#include "runtime/forwardingfilesystem.h"

#include <QStringList>

#include <atomic>
#include <future>
#include <memory>

namespace dyadix {

// The file system, with the walks of one folder's tree under a filter's patterns started on a
// thread of their own at once: while one pane lists its tree, the other pane's tree is walked
// on the other core, and that pane's listing then takes the entries as the walk found them.
// Everything else goes to the file system given.
class TreePrefetch final : public ForwardingFileSystem
{
public:
    TreePrefetch(FileSystem &real, const QString &folder, const QStringList &patterns);
    ~TreePrefetch() override;

    Status walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch) override;

private:
    struct Walk
    {
        std::vector<std::vector<DirEntry>> batches;
        Status status;
    };
    QString m_folder;
    QStringList m_patterns;
    int m_next = 0; // the next pattern whose walk a listing takes
    std::atomic<bool> m_stop = false;
    std::future<std::vector<Walk>> m_walks;
    std::vector<Walk> m_taken;
};

} // namespace dyadix
