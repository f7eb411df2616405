#include "isolatedfilesystem.h"

#include "helperprocess.h"

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

Status IsolatedFileSystem::FileCopy(const QString &source, const QString &target,
                                    const CopyProgress &progress, Replaced replaced)
{
    const Operation operation = replaced == Replaced::ToTrash ? Operation::CopyReplacedToTrash : Operation::Copy;
    const Answer answer = routed(source, target) ? helper::ask({operation, source, target, {}}, progress) : Answer();
    return answer.ran ? asStatus(answer) : m_inner.FileCopy(source, target, progress, replaced);
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

Status IsolatedFileSystem::Kill(const QString &path)
{
    const Answer answer = routed(path) ? helper::ask({Operation::Kill, path, {}, {}}) : Answer();
    return answer.ran ? asStatus(answer) : m_inner.Kill(path);
}

} // namespace dyadix
