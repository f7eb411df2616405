#include "contentcompare.h"
#include "nativefilesystem.h"

// Comparing the contents of pairs of files: large blocks, two threads, the first difference ends a pair.

#include "core/utf8names.h"
#include "nativeposix.h"
#include "secondthread.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <optional>

namespace dyadix::native {

namespace {

// One read of each file.
constexpr std::int64_t BlockSize = std::int64_t(1) << 17;
// A thread's share of a large pair at a time, so that both threads read one large pair.
constexpr std::int64_t ChunkSize = std::int64_t(8) << 20;
// Pairs open at once: two descriptors each.
constexpr std::size_t PairsOpenAtOnce = 128;

// The folders of the files compared, kept open while their files follow one another, so
// that each file is looked up by its name alone.
class OpenFolders
{
public:
    // The open folder that holds `path`; AT_FDCWD where it cannot be opened (the path is then
    // looked up whole, and fails as it would).
    int holding(const QByteArray &path)
    {
        const QByteArray folder = path.left(path.lastIndexOf('/') + 1);
        for (Folder &kept : m_folders) {
            if (kept.path == folder)
                return kept.fd.get() == -1 ? AT_FDCWD : kept.fd.get();
        }
        Folder &slot = m_folders[m_next++ % m_folders.size()];
        slot.path = folder;
        slot.fd.reset(::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        return slot.fd.get() == -1 ? AT_FDCWD : slot.fd.get();
    }

private:
    struct Folder
    {
        QByteArray path;
        FileDescriptor fd;
    };
    std::array<Folder, 4> m_folders;
    std::size_t m_next = 0;
};

struct OpenPair
{
    FileDescriptor first, second;
    std::atomic<bool> differs = false;
    std::atomic<bool> unfinished = false; // a part was left when the comparing stopped
    std::atomic<bool> failed = false;
    std::mutex errorMutex;
    std::optional<RunTimeError> error; // set once, under the mutex, before `failed`
    bool errorInSecond = false;
    std::optional<Result<Contents>> decided; // before reading: an error opening, or the lengths
};

struct Chunk
{
    OpenPair *pair;
    std::int64_t offset, length;
};

// Reads exactly `length` bytes at `offset`, or fewer where the file has fewer left.
ssize_t readAt(int fd, char *buffer, std::int64_t length, std::int64_t offset, int &error)
{
    std::int64_t done = 0;
    while (done < length) {
        const ssize_t n = retried([&] { return ::pread(fd, buffer + done, size_t(length - done), off_t(offset + done)); });
        if (n == -1) {
            error = errno;
            return -1;
        }
        if (n == 0)
            break;
        done += n;
    }
    return ssize_t(done);
}

// The pairs of one call, worked on by two threads at once: each takes the next pair, opens it
// and compares it; a large pair is cut into chunks that either thread takes.
class SharedWork
{
public:
    // `before`: the bytes compared by the calls before, for the progress.
    SharedWork(const std::vector<ContentPair> &pairs, const FileSystem::CopyProgress &progress, std::int64_t before)
        : m_pairs(pairs), m_open(pairs.size()), m_progress(progress), m_before(before)
    {
    }
    std::int64_t compared() const { return m_compared; }

    // Who works: the caller's thread, which reports the progress, or the second thread.
    enum class Role { Reports, Helps };

    // What one thread does.
    void work(Role role)
    {
        const bool reports = role == Role::Reports;
        OpenFolders folders;
        const auto buffers = std::make_unique<char[]>(2 * std::size_t(BlockSize));
        for (;;) {
            if (std::optional<Chunk> chunk = takeChunk()) {
                compare(*chunk, buffers.get(), reports);
                continue;
            }
            const std::size_t i = m_next++;
            if (i >= m_pairs.size())
                break;
            OpenPair &pair = *(m_open[i] = std::make_unique<OpenPair>());
            if (m_stop) {
                pair.unfinished = true;
                continue;
            }
            const std::int64_t size = openPair(i, pair, folders);
            if (size <= ChunkSize) {
                compare({&pair, 0, size}, buffers.get(), reports);
                continue;
            }
            std::lock_guard lock(m_chunksMutex);
            for (std::int64_t at = 0; at < size; at += ChunkSize)
                m_chunks.push_back({&pair, at, std::min(ChunkSize, size - at)});
            m_chunksWaiting = m_chunks.size();
        }
        if (reports)
            report();
    }

    // The caller's thread, done with the pairs, takes the chunks of a large pair that the
    // second thread opened last, and goes on reporting (a stop is heard) until it is done too.
    void finish(SecondThread &second)
    {
        const auto buffers = std::make_unique<char[]>(2 * std::size_t(BlockSize));
        do {
            while (std::optional<Chunk> chunk = takeChunk())
                compare(*chunk, buffers.get(), true);
            report();
        } while (!second.waitFor(std::chrono::milliseconds(20)));
    }

    bool stopped() const { return m_stop; }
    std::vector<Result<Contents>> results() const
    {
        std::vector<Result<Contents>> found;
        found.reserve(m_pairs.size());
        for (std::size_t i = 0; i < m_pairs.size(); ++i) {
            const OpenPair *pair = m_open[i].get();
            if (pair == nullptr || pair->unfinished)
                found.emplace_back(ErrorNumber::Stopped);
            else if (pair->decided)
                found.push_back(*pair->decided);
            else if (pair->error)
                found.emplace_back(pair->error->onPath(pair->errorInSecond ? m_pairs[i].second : m_pairs[i].first));
            else
                found.emplace_back(pair->differs ? Contents::Different : Contents::Same);
        }
        return found;
    }

private:
    void report()
    {
        if (m_progress && !m_stop && !m_progress(m_before + m_compared))
            m_stop = true;
    }

    // Opens both files; the length to compare, 0 where the pair is decided unread.
    std::int64_t openPair(std::size_t i, OpenPair &pair, OpenFolders &folders)
    {
        struct stat firstStat {}, secondStat {};
        const auto open = [&folders](const QString &path, struct stat &st) {
            const QByteArray bytes = encodeUtf8Name(path);
            return openRegularFile(bytes, st, Blocking::Left, folders.holding(bytes));
        };
        Result<FileDescriptor> first = open(m_pairs[i].first, firstStat);
        if (!first) {
            pair.decided = first.error().onPath(m_pairs[i].first);
            return 0;
        }
        Result<FileDescriptor> second = open(m_pairs[i].second, secondStat);
        if (!second) {
            pair.decided = second.error().onPath(m_pairs[i].second);
            return 0;
        }
        if (firstStat.st_size != secondStat.st_size || firstStat.st_size == 0) {
            pair.decided = firstStat.st_size == secondStat.st_size ? Contents::Same : Contents::Different;
            return 0;
        }
        pair.first = std::move(*first);
        pair.second = std::move(*second);
        return firstStat.st_size;
    }

    std::optional<Chunk> takeChunk()
    {
        if (m_chunksWaiting == 0)
            return std::nullopt;
        std::lock_guard lock(m_chunksMutex);
        if (m_chunks.empty())
            return std::nullopt;
        const Chunk chunk = m_chunks.front();
        m_chunks.pop_front();
        m_chunksWaiting = m_chunks.size();
        return chunk;
    }

    void compare(const Chunk &chunk, char *buffers, bool reports)
    {
        OpenPair &pair = *chunk.pair;
        char *first = buffers, *second = buffers + BlockSize;
        for (std::int64_t at = chunk.offset; at < chunk.offset + chunk.length; at += BlockSize) {
            if (pair.differs || pair.failed)
                return;
            if (m_stop) {
                pair.unfinished = true;
                return;
            }
            const std::int64_t wanted = std::min(BlockSize, chunk.offset + chunk.length - at);
            int error = 0;
            const ssize_t a = readAt(pair.first.get(), first, wanted, at, error);
            const ssize_t b = a == -1 ? -1 : readAt(pair.second.get(), second, wanted, at, error);
            if (a == -1 || b == -1) {
                std::lock_guard lock(pair.errorMutex);
                if (!pair.failed) {
                    pair.error = RunTimeError::fromErrno(error);
                    pair.errorInSecond = a != -1;
                }
                pair.failed = true;
                return;
            }
            // A file that shrank while it was read no longer matches the other (one that grows is
            // compared up to the length it had when it was opened).
            if (a != wanted || b != wanted || std::memcmp(first, second, size_t(wanted)) != 0) {
                pair.differs = true;
                return;
            }
            m_compared += wanted;
            if (reports)
                report();
        }
    }

    const std::vector<ContentPair> &m_pairs;
    std::vector<std::unique_ptr<OpenPair>> m_open;
    const FileSystem::CopyProgress &m_progress;
    const std::int64_t m_before;
    std::atomic<std::size_t> m_next = 0;
    std::atomic<std::int64_t> m_compared = 0;
    std::atomic<bool> m_stop = false;
    std::mutex m_chunksMutex;
    std::deque<Chunk> m_chunks;
    std::atomic<std::size_t> m_chunksWaiting = 0;
};

} // namespace

std::vector<Result<Contents>> compareFileContents(const std::vector<ContentPair> &pairs,
                                                  const FileSystem::CopyProgress &progress)
{
    std::vector<Result<Contents>> results;
    results.reserve(pairs.size());
    bool stopped = false;
    std::int64_t before = 0;
    // A few pairs at a time, so that only so many files are open at once.
    for (std::size_t from = 0; from < pairs.size(); from += PairsOpenAtOnce) {
        const std::vector<ContentPair> some(pairs.begin() + std::ptrdiff_t(from),
                                            pairs.begin() + std::ptrdiff_t(std::min(pairs.size(), from + PairsOpenAtOnce)));
        // A stop asked before these pairs start is heard before any is read.
        stopped = stopped || (progress && !progress(before));
        if (stopped) {
            results.insert(results.end(), some.size(), Result<Contents>(ErrorNumber::Stopped));
            continue;
        }
        SharedWork work(some, progress, before);
        // Two calls at once share the one second thread: the later goes alone.
        static std::mutex secondInUse;
        std::unique_lock<std::mutex> second(secondInUse, std::try_to_lock);
        if (second.owns_lock())
            SecondThread::instance().start([&work] { work.work(SharedWork::Role::Helps); });
        work.work(SharedWork::Role::Reports);
        if (second.owns_lock())
            work.finish(SecondThread::instance());
        std::vector<Result<Contents>> found = work.results();
        results.insert(results.end(), found.begin(), found.end());
        stopped = work.stopped();
        before += work.compared();
    }
    return results;
}

} // namespace dyadix::native

namespace dyadix {

std::vector<Result<Contents>> NativeFileSystem::compareContents(const std::vector<ContentPair> &pairs,
                                                                const CopyProgress &progress)
{
    return native::compareFileContents(pairs, progress);
}

} // namespace dyadix
