#include "contentmatch.h"

#include <memory>

namespace dyadix {

namespace {

// Pairs read in one piece of work: small files many at a time (on both cores), a large one alone.
constexpr std::size_t PairsAtOnce = 64;
constexpr std::int64_t BytesAtOnce = std::int64_t(8) << 20;

bool stopped(const Result<Contents> &found)
{
    return !found && found.error().number == int(ErrorNumber::Stopped);
}

// The standard prompt's text for a pair that could not be read, with the file it is about.
RunTimeError aboutFile(const RunTimeError &error, const ContentPair &pair)
{
    return RunTimeError(error.number, error.description + QLatin1Char('\n')
                                          + (error.subject.isEmpty() ? pair.first : error.subject));
}

} // namespace

ContentCounts untickSameContents(FileListModel &left, FileListModel &right, const ContentCheck &check)
{
    std::vector<int> rows;
    std::int64_t bytes = 0;
    for (int i = 0; i < left.ListCount() && i < right.ListCount(); ++i) {
        if ((left.Selected(i) || right.Selected(i)) && !left.placeholderAt(i) && !right.placeholderAt(i)
            && left.sizeAt(i) == right.sizeAt(i)) {
            rows.push_back(i);
            bytes += left.sizeAt(i);
        }
    }
    ContentCounts counts;
    if (rows.empty())
        return counts;
    FileSystem &fileSystem = check.fileSystem;
    // One pair read again after Retry.
    const auto compareOne = [&](const ContentPair &pair) {
        auto found = std::make_shared<std::vector<Result<Contents>>>();
        const Status ran = check.monitor.run([&fileSystem, pair, found](const FileSystem::CopyProgress &progress) {
            *found = fileSystem.compareContents({pair}, progress);
            return Status();
        });
        return ran && !found->empty() ? found->front() : Result<Contents>(ErrorNumber::Stopped);
    };

    check.monitor.begin(QStringLiteral("Comparing"), int(rows.size()), bytes);
    std::size_t next = 0;
    bool stop = false;
    while (next < rows.size() && !stop && !check.trap.aborted() && !check.monitor.stopRequested()) {
        std::vector<ContentPair> pairs;
        std::int64_t pieceBytes = 0;
        const std::size_t first = next;
        while (next < rows.size() && pairs.size() < PairsAtOnce
               && (pairs.empty() || pieceBytes + left.sizeAt(rows[next]) <= BytesAtOnce)) {
            const int row = rows[next++];
            // Each side by its own name: the two may differ in case where case is not told apart.
            pairs.push_back({check.leftFolder + left.nameAt(row).toString(), check.rightFolder + right.nameAt(row).toString()});
            pieceBytes += left.sizeAt(row);
        }
        check.monitor.nextFile(pieceBytes, int(pairs.size()));
        auto results = std::make_shared<std::vector<Result<Contents>>>();
        const Status ran = check.monitor.run([&fileSystem, pairs, results](const FileSystem::CopyProgress &progress) {
            *results = fileSystem.compareContents(pairs, progress);
            return Status();
        });
        if (!ran || results->size() != pairs.size()) {
            next = first;
            break;
        }
        FileListModel::TickBatch leftTicks(left), rightTicks(right);
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            Result<Contents> found = (*results)[k];
            if (!found && !stopped(found)) {
                bool again = false;
                check.trap.run([&]() -> Status {
                    if (std::exchange(again, true))
                        found = compareOne(pairs[k]);
                    return found || stopped(found) ? Status() : Status(aboutFile(found.error(), pairs[k]));
                });
            }
            if (stopped(found) || check.trap.aborted()) {
                next = first + k;
                stop = true;
                break;
            }
            if (!found)
                continue; // ignored: the pair stays as its times decide
            ++counts.compared;
            if (*found == Contents::Same) {
                const int row = rows[first + k];
                for (FileListModel *list : {&left, &right}) {
                    list->setSelected(row, false);
                    list->setNote(row, SameContentsNote);
                }
                ++counts.same;
            }
        }
    }
    counts.notCompared = int(rows.size() - next);
    check.monitor.end();
    return counts;
}

} // namespace dyadix
