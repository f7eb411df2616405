#include "contentcompare.h"

// Comparing the contents of pairs of files: large blocks, two threads, the first difference ends a pair.

#include "core/utf8names.h"
#include "nativeposix.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace dyadix::native {

namespace {

// One read of each file.
constexpr std::int64_t BlockSize = std::int64_t(1) << 20;
// A thread's share of a large pair at a time, so that both threads read one large pair.
constexpr std::int64_t ChunkSize = std::int64_t(8) << 20;
// Pairs open at once: two descriptors each.
constexpr std::size_t PairsOpenAtOnce = 64;

struct OpenPair
{
    FileDescriptor first, second;
    std::atomic<bool> differs = false;
    std::atomic<bool> unfinished = false; // a part was left when the comparing stopped
    std::atomic<bool> failed = false;
    std::mutex errorMutex;
    std::optional<RunTimeError> error; // set once, under the mutex, before `failed`
    bool errorInSecond = false;
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

// Compares the chunks handed out one by one: what one thread does.
class ChunkComparer
{
public:
    ChunkComparer(const std::vector<Chunk> &chunks, std::atomic<std::size_t> &next, std::atomic<std::int64_t> &compared,
                  std::atomic<bool> &stop)
        : m_chunks(chunks), m_next(next), m_compared(compared), m_stop(stop),
          m_buffers(std::make_unique<char[]>(2 * std::size_t(BlockSize)))
    {
    }

    // Takes chunks until none is left; `afterBlock` runs after every block (the caller's
    // thread reports the progress there).
    void run(const std::function<void()> &afterBlock = {})
    {
        for (std::size_t i = m_next++; i < m_chunks.size(); i = m_next++) {
            const Chunk &chunk = m_chunks[i];
            if (m_stop) {
                chunk.pair->unfinished = true;
                continue;
            }
            compare(chunk, afterBlock);
        }
    }

private:
    void compare(const Chunk &chunk, const std::function<void()> &afterBlock)
    {
        OpenPair &pair = *chunk.pair;
        char *first = m_buffers.get(), *second = first + BlockSize;
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
            // A file that grew or shrank while it was read no longer matches the other.
            if (a != wanted || b != wanted || std::memcmp(first, second, size_t(wanted)) != 0) {
                pair.differs = true;
                return;
            }
            m_compared += wanted;
            if (afterBlock)
                afterBlock();
        }
    }

    const std::vector<Chunk> &m_chunks;
    std::atomic<std::size_t> &m_next;
    std::atomic<std::int64_t> &m_compared;
    std::atomic<bool> &m_stop;
    std::unique_ptr<char[]> m_buffers;
};

} // namespace

std::vector<Result<Contents>> compareFileContents(const std::vector<ContentPair> &pairs,
                                                  const FileSystem::CopyProgress &progress)
{
    std::vector<Result<Contents>> results(pairs.size(), Result<Contents>(ErrorNumber::Stopped));
    std::atomic<std::int64_t> compared = 0;
    std::atomic<bool> stop = false;
    for (std::size_t from = 0; from < pairs.size() && !stop; from += PairsOpenAtOnce) {
        const std::size_t to = std::min(pairs.size(), from + PairsOpenAtOnce);
        std::vector<std::unique_ptr<OpenPair>> open(to - from);
        std::vector<Chunk> chunks;
        for (std::size_t i = from; i < to; ++i) {
            struct stat firstStat {}, secondStat {};
            Result<FileDescriptor> first = openRegularFile(encodeUtf8Name(pairs[i].first), firstStat);
            if (!first) {
                results[i] = first.error().onPath(pairs[i].first);
                continue;
            }
            Result<FileDescriptor> second = openRegularFile(encodeUtf8Name(pairs[i].second), secondStat);
            if (!second) {
                results[i] = second.error().onPath(pairs[i].second);
                continue;
            }
            if (firstStat.st_size != secondStat.st_size || firstStat.st_size == 0) {
                results[i] = firstStat.st_size == secondStat.st_size ? Contents::Same : Contents::Different;
                continue;
            }
            auto &pair = open[i - from] = std::make_unique<OpenPair>();
            pair->first = std::move(*first);
            pair->second = std::move(*second);
            for (std::int64_t at = 0; at < firstStat.st_size; at += ChunkSize)
                chunks.push_back({pair.get(), at, std::min<std::int64_t>(ChunkSize, firstStat.st_size - at)});
        }
        std::atomic<std::size_t> next = 0;
        // A second thread where there is more than one chunk: small files pair by pair, a large
        // file's chunks side by side.
        std::thread helper;
        if (chunks.size() > 1)
            helper = std::thread([&] { ChunkComparer(chunks, next, compared, stop).run(); });
        ChunkComparer(chunks, next, compared, stop).run([&] {
            if (progress && !progress(compared))
                stop = true;
        });
        if (helper.joinable())
            helper.join();
        if (progress && !stop && !progress(compared))
            stop = true;
        for (std::size_t i = from; i < to; ++i) {
            const OpenPair *pair = open[i - from].get();
            if (pair == nullptr)
                continue;
            if (pair->error)
                results[i] = pair->error->onPath(pair->errorInSecond ? pairs[i].second : pairs[i].first);
            else if (pair->differs)
                results[i] = Contents::Different;
            else if (!pair->unfinished)
                results[i] = Contents::Same;
        }
    }
    return results;
}

} // namespace dyadix::native
