#include "listingprefetch.h"

#include <chrono>

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
            const TreeBatch keep = [&](std::vector<DirEntry> &entries) {
                for (const DirEntry &entry : entries) {
                    walk.entries.push_back({walk.names.add(entry.name), std::uint32_t(entry.name.size()),
                                            entry.statError, entry.stat});
                }
                walk.batchEnds.push_back(walk.entries.size());
                return !m_stop;
            };
            walk.status = m_reach == Reach::Folder ? m_inner.listFolder(m_folder, pattern, keep)
                                                   : m_inner.walkTree(m_folder, pattern, keep);
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
    if (reach != m_reach || folder != m_folder || m_next >= m_patterns.size() || pattern != m_patterns.at(m_next))
        return nullptr;
    if (m_next == 0) {
        while (whileWaiting && m_walks.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
            whileWaiting();
        m_taken = m_walks.get();
    }
    if (size_t(m_next) >= m_taken.size())
        return nullptr;
    return &m_taken[size_t(m_next++)];
}

Status ListingPrefetch::replay(Walk &walk, const TreeBatch &batch)
{
    size_t from = 0;
    for (const size_t end : walk.batchEnds) {
        std::vector<DirEntry> entries(end - from);
        for (size_t k = from; k < end; ++k) {
            const Stored &stored = walk.entries[k];
            DirEntry &entry = entries[k - from];
            entry.name = walk.names.at(stored.nameAt, stored.nameLength).toString();
            entry.stat = stored.stat;
            entry.statError = stored.statError;
        }
        from = end;
        if (!batch(entries))
            break;
    }
    // Taken once; what it held goes.
    walk.names.clear();
    walk.entries = {};
    return walk.status;
}

Status ListingPrefetch::listFolder(const QString &folder, const QString &pattern, const TreeBatch &batch)
{
    Walk *walk = take(folder, pattern, Reach::Folder);
    if (walk == nullptr)
        return m_inner.listFolder(folder, pattern, batch);
    return replay(*walk, batch);
}

Status ListingPrefetch::walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch)
{
    Walk *walk = take(folder, pattern, Reach::Tree);
    if (walk == nullptr)
        return m_inner.walkTree(folder, pattern, batch);
    return replay(*walk, batch);
}

} // namespace dyadix
