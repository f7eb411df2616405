#include "listingprefetch.h"

namespace dyadix {

ListingPrefetch::ListingPrefetch(FileSystem &real, const QString &folder, const QStringList &patterns,
                                 Reach reach)
    : ForwardingFileSystem(real)
    , m_folder(folder)
    , m_patterns(patterns)
    , m_reach(reach)
{
    m_walks = std::async(std::launch::async, [this] {
        std::vector<Walk> walks;
        for (const QString &pattern : m_patterns) {
            Walk walk;
            if (m_reach == Reach::Folder) {
                Result<std::vector<DirEntry>> found = m_inner.enumerate(m_folder, pattern);
                if (found)
                    walk.batches.push_back(std::move(*found));
                else
                    walk.status = found.error();
            } else {
                walk.status = m_inner.walkTree(m_folder, pattern, [&](std::vector<DirEntry> &entries) {
                    walk.batches.push_back(std::move(entries));
                    return !m_stop;
                });
            }
            walks.push_back(std::move(walk));
            if (m_stop)
                break;
        }
        return walks;
    });
}

ListingPrefetch::~ListingPrefetch()
{
    m_stop = true;
    if (m_walks.valid())
        m_walks.wait();
}

ListingPrefetch::Walk *ListingPrefetch::take(const QString &folder, const QString &pattern, Reach reach)
{
    // The listings are taken in the order they were started, by the listing they were started for.
    if (reach != m_reach || folder != m_folder || m_next >= m_patterns.size() || pattern != m_patterns[m_next])
        return nullptr;
    if (m_next == 0)
        m_taken = m_walks.get();
    if (size_t(m_next) >= m_taken.size())
        return nullptr;
    return &m_taken[size_t(m_next++)];
}

Result<std::vector<DirEntry>> ListingPrefetch::enumerate(const QString &folder, const QString &pattern)
{
    Walk *walk = take(folder, pattern, Reach::Folder);
    if (walk == nullptr)
        return m_inner.enumerate(folder, pattern);
    if (!walk->status)
        return walk->status.error();
    return std::move(walk->batches.front());
}

Status ListingPrefetch::walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch)
{
    Walk *walk = take(folder, pattern, Reach::Tree);
    if (walk == nullptr)
        return m_inner.walkTree(folder, pattern, batch);
    for (std::vector<DirEntry> &entries : walk->batches) {
        if (!batch(entries))
            break;
    }
    return walk->status;
}

} // namespace dyadix
