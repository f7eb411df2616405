#include "isolatedfilesystem.h"

#include "helperprocess.h"

#include <algorithm>

namespace dyadix {

using helper::Answer;
using helper::Operation;

namespace {

template<typename T> Result<T> asResult(const Answer &answer)
{
    if (answer.error.number != 0)
        return answer.error;
    return T(answer.value);
}

Status asStatus(const Answer &answer)
{
    return answer.error.number != 0 ? Status(answer.error) : Status();
}

} // namespace

void IsolatedFileSystem::startHelper()
{
    helper::start();
}

bool IsolatedFileSystem::routed(const QString &path, const QString &otherPath)
{
    if (m_route == Route::Everything)
        return true;
    return m_networkMounts.holds(path) || (!otherPath.isEmpty() && m_networkMounts.holds(otherPath));
}

Result<int> IsolatedFileSystem::GetAttr(const QString &path)
{
    const Answer answer = routed(path) ? helper::ask({Operation::Attributes, path, {}, {}}) : Answer();
    return answer.ran ? asResult<int>(answer) : m_inner.GetAttr(path);
}

Result<std::int64_t> IsolatedFileSystem::FileDateTime(const QString &path)
{
    const Answer answer = routed(path) ? helper::ask({Operation::ModifiedTime, path, {}, {}}) : Answer();
    return answer.ran ? asResult<std::int64_t>(answer) : m_inner.FileDateTime(path);
}

Result<std::int64_t> IsolatedFileSystem::FileLen(const QString &path)
{
    const Answer answer = routed(path) ? helper::ask({Operation::Length, path, {}, {}}) : Answer();
    return answer.ran ? asResult<std::int64_t>(answer) : m_inner.FileLen(path);
}

Result<int> IsolatedFileSystem::FileCopy(const QString &source, const QString &target,
                                         const CopyProgress &progress, Replaced replaced)
{
    const Operation operation = replaced == Replaced::ToTrash ? Operation::CopyReplacedToTrash : Operation::Copy;
    const Answer answer = routed(source, target) ? helper::ask({operation, source, target, {}}, progress) : Answer();
    return answer.ran ? asResult<int>(answer) : m_inner.FileCopy(source, target, progress, replaced);
}

std::vector<Result<Contents>> IsolatedFileSystem::compareContents(const std::vector<ContentPair> &pairs,
                                                                  const CopyProgress &progress)
{
    const bool anyRouted = std::any_of(pairs.begin(), pairs.end(), [this](const ContentPair &pair) {
        return routed(pair.first, pair.second);
    });
    if (!anyRouted)
        return m_inner.compareContents(pairs, progress);
    // A pair on a network folder is read by the helper, one pair at a time.
    std::vector<Result<Contents>> results;
    std::int64_t before = 0, done = 0;
    bool stopped = false;
    for (const ContentPair &pair : pairs) {
        const CopyProgress onePair = [&](std::int64_t bytes) {
            done = bytes;
            stopped = progress && !progress(before + bytes);
            return !stopped;
        };
        if (stopped) {
            results.emplace_back(ErrorNumber::Stopped);
            continue;
        }
        const Answer answer = routed(pair.first, pair.second)
            ? helper::ask({Operation::CompareContents, pair.first, pair.second, {}}, onePair)
            : Answer();
        if (!answer.ran)
            results.push_back(m_inner.compareContents({pair}, onePair).front());
        else if (answer.error.number != 0)
            results.emplace_back(answer.error);
        else
            results.emplace_back(answer.value == 1 ? Contents::Same : Contents::Different);
        before += std::exchange(done, 0);
    }
    return results;
}

Status IsolatedFileSystem::moveToTrash(const QString &path)
{
    const Answer answer = routed(path) ? helper::ask({Operation::MoveToTrash, path, {}, {}}) : Answer();
    return answer.ran ? asStatus(answer) : m_inner.moveToTrash(path);
}

Status IsolatedFileSystem::makeFolders(const QString &targetFolder, const QString &relativeFolder,
                                       const QString &sourceFolder)
{
    const Answer answer = routed(targetFolder, sourceFolder)
        ? helper::ask({Operation::MakeFolders, targetFolder, relativeFolder, sourceFolder})
        : Answer();
    return answer.ran ? asStatus(answer) : m_inner.makeFolders(targetFolder, relativeFolder, sourceFolder);
}

Status IsolatedFileSystem::flushToDisk(const QStringList &files)
{
    const bool anyRouted = std::any_of(files.begin(), files.end(), [this](const QString &file) { return routed(file); });
    // The paths go as one text, a zero between them (no path holds one).
    const Answer answer = anyRouted ? helper::ask({Operation::FlushToDisk, files.join(QChar(0)), {}, {}}) : Answer();
    return answer.ran ? asStatus(answer) : m_inner.flushToDisk(files);
}

Status IsolatedFileSystem::Kill(const QString &path)
{
    const Answer answer = routed(path) ? helper::ask({Operation::Kill, path, {}, {}}) : Answer();
    return answer.ran ? asStatus(answer) : m_inner.Kill(path);
}

} // namespace dyadix
