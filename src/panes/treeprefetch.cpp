#include "treeprefetch.h"

namespace dyadix {

TreePrefetch::TreePrefetch(FileSystem &real, const QString &folder, const QStringList &patterns)
    : ForwardingFileSystem(real)
    , m_folder(folder)
    , m_patterns(patterns)
{
    m_walks = std::async(std::launch::async, [this] {
        std::vector<Walk> walks;
        for (const QString &pattern : m_patterns) {
            Walk walk;
            walk.status = m_inner.walkTree(m_folder, pattern, [&](std::vector<DirEntry> &entries) {
                walk.batches.push_back(std::move(entries));
                return !m_stop;
            });
            walks.push_back(std::move(walk));
        }
        return walks;
    });
}

TreePrefetch::~TreePrefetch()
{
    m_stop = true;
    if (m_walks.valid())
        m_walks.wait();
}

Status TreePrefetch::walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch)
{
    // The walks are taken in the order they were started, by the listing they were started for.
    if (folder != m_folder || m_next >= m_patterns.size() || pattern != m_patterns[m_next])
        return m_inner.walkTree(folder, pattern, batch);
    if (m_next == 0)
        m_taken = m_walks.get();
    Walk &walk = m_taken[size_t(m_next++)];
    for (std::vector<DirEntry> &entries : walk.batches) {
        if (!batch(entries))
            break;
    }
    return walk.status;
}

} // namespace dyadix
