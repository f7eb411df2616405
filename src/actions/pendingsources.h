#pragma once

// A move's sources waiting for their copies to reach the disk, and then removed.

#include "actions/fileactions.h"

#include "core/errortrap.h"

#include <memory>
#include <vector>

namespace dyadix {

// A file's length and time, to tell whether it changed since.
struct Seen
{
    std::int64_t size = -1;
    std::int64_t modified = -1;
    bool operator==(const Seen &) const = default;
};
inline Seen seenNow(FileSystem &fileSystem, const QString &path)
{
    return {fileSystem.FileLen(path).value_or(-1), fileSystem.FileDateTime(path).value_or(-1)};
}

// The sources of moves whose copies are in place, removed only once the copies are on disk.
// One flush of the target's file system serves many files: a flush for each small file would
// take longer than its copy.
class PendingSources
{
public:
    // `seen`: the source as it was copied; one that changes meanwhile is not removed.
    void add(int row, const QString &path, const QString &copy, Seen seen, std::int64_t bytes)
    {
        m_sources.push_back({row, path, copy, seen});
        m_bytes += bytes;
    }
    // Sources kept because they changed after they were copied.
    int changed = 0;
    bool due() const { return m_sources.size() >= FilesAtOnce || m_bytes >= BytesAtOnce; }

    // Flushes the target's file system, then removes each source and unticks its line. A
    // source that cannot be removed, or whose flush fails, is kept, its line ticked and noted.
    void settle(const ActionContext &c, ErrorTrap &trap, FileListModel &list)
    {
        const std::vector<Source> sources = std::exchange(m_sources, {});
        m_bytes = 0;
        FileSystem &fileSystem = c.fileSystem;
        QStringList copies;
        for (const Source &source : sources)
            copies << source.copy;
        // Stopped at once (the program is closing), the sources stay: both copies are whole.
        bool stopped = false;
        const auto unlessStopped = [&stopped](Status status) {
            stopped = !status && status.error().number == int(ErrorNumber::Stopped);
            return stopped ? Status() : status;
        };
        if (sources.empty())
            return;
        trap.setAbout(QStringLiteral("Moving ") + QString::number(sources.size()) + QStringLiteral(" files: writing their copies to disk"));
        if (!trap.run([&] {
                return unlessStopped(c.monitor.run([&fileSystem, copies](const FileSystem::CopyProgress &) {
                    return fileSystem.flushToDisk(copies);
                }));
            })) {
            for (const Source &source : sources)
                noteUndone(list, source.row, QStringLiteral("Not moved"), trap.lastError());
            return;
        }
        if (stopped)
            return;
        for (const Source &source : sources) {
            const auto kept = std::make_shared<bool>(false);
            trap.setAbout(QStringLiteral("Moving ") + source.path + QStringLiteral(" to ") + source.copy);
            const bool removed = trap.run([&] {
                return unlessStopped(c.monitor.run([&fileSystem, source, kept](const FileSystem::CopyProgress &) {
                    // Saved again after its copy was made, the source is newer than the copy.
                    if (seenNow(fileSystem, source.path) != source.seen) {
                        *kept = true;
                        return Status();
                    }
                    return fileSystem.Kill(source.path);
                }));
            });
            if (!removed)
                noteUndone(list, source.row, QStringLiteral("Not moved"), trap.lastError());
            if (trap.aborted() || stopped)
                return;
            changed += *kept;
            if (removed && !*kept)
                list.setSelected(source.row, false);
        }
    }

private:
    static constexpr std::size_t FilesAtOnce = 256;
    static constexpr std::int64_t BytesAtOnce = std::int64_t(256) << 20;
    struct Source
    {
        int row;
        QString path;
        QString copy;
        Seen seen;
    };
    std::vector<Source> m_sources;
    std::int64_t m_bytes = 0;
};

} // namespace dyadix
