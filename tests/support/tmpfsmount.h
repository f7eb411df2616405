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

namespace dyadix::test {

// A folder bind-mounted at a second place for one test, where the test may mount (as root).
class BindMount
{
public:
    explicit BindMount(const QString &folder);
    ~BindMount();
    BindMount(const BindMount &) = delete;
    BindMount &operator=(const BindMount &) = delete;

    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// Acts as the unprivileged user "nobody" and its group while it lives, where the
// test runs as root; otherwise does nothing and active() is false.
class ActAsNobody
{
public:
    ActAsNobody();
    ~ActAsNobody();
    ActAsNobody(const ActAsNobody &) = delete;
    ActAsNobody &operator=(const ActAsNobody &) = delete;

    bool active() const { return m_active; }
    static constexpr int Uid = 65534;
    static constexpr int Gid = 65534;

private:
    bool m_active = false;
};

} // namespace dyadix::test
