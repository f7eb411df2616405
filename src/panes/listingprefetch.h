#pragma once

// One pane's folder read ahead on the other core while the first pane lists.

#include "nameblocks.h"

#include "core/forwardingfilesystem.h"

#include <QStringList>

#include <atomic>
#include <functional>
#include <future>
#include <memory>

namespace dyadix {

// The file system, with one folder's listing under a filter's patterns (its whole tree, or the
// folder alone) started on a thread of its own at once: while one pane lists, the other
// pane's folder is read on the other core, and that pane's listing then takes the entries as
// they were found. Everything else goes to the file system given.
class ListingPrefetch final : public ForwardingFileSystem
{
public:
    enum class Reach { Folder, Tree };
    ListingPrefetch(FileSystem &real, const QString &folder, const QStringList &patterns, Reach reach);
    ~ListingPrefetch() override;

    Status listFolder(const QString &folder, const QString &pattern, const TreeBatch &batch) override;

    // Runs every few hundredths of a second while a listing waits for the read-ahead to end
    // (the window repaints meanwhile).
    std::function<void()> whileWaiting;
    Status walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch) override;

private:
    // What one listing found, kept compactly until it is taken: the names in large blocks,
    // each entry in 40 bytes, and where each batch the listing handed over ended.
    struct Stored
    {
        std::uint64_t nameAt = 0;
        std::uint32_t nameLength = 0;
        int statError = 0;
        FileStat stat;
    };
    struct Walk
    {
        NameBlocks names;
        std::vector<Stored> entries;
        std::vector<size_t> batchEnds;
        Status status;
    };
    // Hands the stored entries over in their batches.
    static Status replay(Walk &walk, const TreeBatch &batch);
    // The next prefetched listing, where it is the one asked for; null otherwise.
    Walk *take(const QString &folder, const QString &pattern, Reach reach);

    const QString m_folder;
    const QStringList m_patterns; // const: the read-ahead thread reads it while the listing does
    const Reach m_reach;
    int m_next = 0; // the next pattern whose listing is taken
    std::atomic<bool> m_stop = false;
    std::future<std::vector<Walk>> m_walks;
    std::vector<Walk> m_taken;
};

} // namespace dyadix
