#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace dyadix::test {

// A small tmpfs mounted for one test, where the test may mount one (as root, with mount
// allowed); unmounted again at the end.
class TmpfsMount
{
public:
    explicit TmpfsMount(int kilobytes);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount &) = delete;
    TmpfsMount &operator=(const TmpfsMount &) = delete;

    bool mounted() const { return m_mounted; }
    // Makes the volume read-only from now on.
    bool remountReadOnly();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace dyadix::test
