#include "isolatedfilesystem.h"

#include "nativefilesystem.h"
#include "nativeposix.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace dyadix {

namespace {

// The program's end of the line to the helper; -1 without one.
int helperSocket = -1;

// Messages, one a packet: a request is an operation letter and its paths; the helper answers
// with any number of progress packets ('P' and the bytes done) and then the result ('R', the
// error number, the value, the description). A stop ('S') may go to the helper meanwhile.
constexpr std::size_t PacketSize = 1 << 16;

void putString(QByteArray &packet, const QString &text)
{
    const auto length = std::uint32_t(text.size());
    packet.append(reinterpret_cast<const char *>(&length), sizeof length);
    packet.append(reinterpret_cast<const char *>(text.utf16()), qsizetype(length) * 2);
}

template<typename T> T takeNumber(const char *&at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
}

QString takeString(const char *&at)
{
    const auto length = takeNumber<std::uint32_t>(at);
    QString text(qsizetype(length), Qt::Uninitialized);
    std::memcpy(text.data(), at, std::size_t(length) * 2);
    at += std::size_t(length) * 2;
    return text;
}

bool sendPacket(int socket, const QByteArray &packet, int flags = 0)
{
    const std::size_t size = std::size_t(packet.size());
    return native::retried([&] { return ::send(socket, packet.constData(), size, flags | MSG_NOSIGNAL); })
        >= 0;
}

QByteArray resultPacket(const RunTimeError &error, std::int64_t value)
{
    QByteArray packet(1, 'R');
    packet.append(reinterpret_cast<const char *>(&error.number), sizeof error.number);
    packet.append(reinterpret_cast<const char *>(&value), sizeof value);
    putString(packet, error.description);
    return packet;
}

template<typename T> QByteArray resultOf(const Result<T> &result)
{
    if (!result)
        return resultPacket(result.error(), 0);
    if constexpr (std::is_same_v<T, void>)
        return resultPacket({}, 0);
    else
        return resultPacket({}, std::int64_t(*result));
}

// The helper: one operation at a time, until the program's end of the line closes.
[[noreturn]] void serve(int socket)
{
    // The session's signals are the program's to act on; the helper ends when the line does.
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, SIG_IGN);
    NativeFileSystem fileSystem;
    std::vector<char> buffer(PacketSize);
    for (;;) {
        if (native::retried([&] { return ::recv(socket, buffer.data(), buffer.size(), 0); }) <= 0)
            ::_exit(0);
        const char *at = buffer.data() + 1;
        const QString first = takeString(at);
        const QString second = takeString(at);
        const QString third = takeString(at);
        QByteArray answer;
        switch (buffer[0]) {
        case 'C':
        case 'c': {
            // A stop, or the program gone, ends the copy at once: its target stays as it was.
            const FileSystem::CopyProgress progress = [socket](std::int64_t done) {
                QByteArray packet(1, 'P');
                packet.append(reinterpret_cast<const char *>(&done), sizeof done);
                sendPacket(socket, packet, MSG_DONTWAIT);
                char stop = 0;
                const ssize_t heard = ::recv(socket, &stop, 1, MSG_DONTWAIT);
                return heard == -1 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
            };
            answer = resultOf(fileSystem.FileCopy(first, second, progress,
                                                  buffer[0] == 'c' ? Replaced::ToTrash : Replaced::Dropped));
            break;
        }
        case 'K': answer = resultOf(fileSystem.Kill(first)); break;
        case 'D': answer = resultOf(fileSystem.moveToTrash(first)); break;
        case 'M': answer = resultOf(fileSystem.makeFolders(first, second, third)); break;
        case 'A': answer = resultOf(fileSystem.GetAttr(first)); break;
        case 'T': answer = resultOf(fileSystem.FileDateTime(first)); break;
        default: answer = resultOf(fileSystem.FileLen(first)); break;
        }
        if (!sendPacket(socket, answer))
            ::_exit(0);
    }
}

} // namespace

void IsolatedFileSystem::startHelper()
{
    int sockets[2];
    if (helperSocket != -1 || ::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sockets) != 0)
        return;
    const pid_t helper = ::fork();
    if (helper == 0) {
        ::close(sockets[0]);
        serve(sockets[1]);
    }
    ::close(sockets[1]);
    if (helper == -1)
        ::close(sockets[0]);
    else
        helperSocket = sockets[0];
}

namespace {

bool isNetworkType(const QByteArray &type)
{
    static const QByteArrayList network = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "ceph",
                                           "glusterfs", "lustre", "ncpfs", "coda", "davfs", "ocfs2",
                                           "gfs2", "orangefs", "pvfs2", "sshfs"};
    return type.startsWith("fuse") || network.contains(type);
}

// The mount table's octal escapes (\040 for a blank) as the bytes they stand for.
QByteArray unescapeMountField(const QByteArray &field)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bytes += char(field.mid(i + 1, 3).toInt(nullptr, 8));
            i += 3;
        } else {
            bytes += field[i];
        }
    }
    return bytes;
}

} // namespace

bool IsolatedFileSystem::routed(const QString &first, const QString &second)
{
    if (m_route == Route::Everything)
        return true;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_mountsReadAt == -1 || now - m_mountsReadAt > 2000) {
        m_mountsReadAt = now;
        m_networkMounts.clear();
        QFile mounts(mountTable);
        if (mounts.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : mounts.readAll().split('\n')) {
                const QByteArrayList fields = line.split(' ');
                if (fields.size() > 2 && isNetworkType(fields[2]))
                    m_networkMounts << QFile::decodeName(unescapeMountField(fields[1]));
            }
        }
    }
    for (const QString &mount : std::as_const(m_networkMounts)) {
        const QString root = mount.endsWith(QLatin1Char('/')) ? mount : mount + QLatin1Char('/');
        for (const QString &path : {first, second}) {
            if (!path.isEmpty() && (path == mount || path.startsWith(root)))
                return true;
        }
    }
    return false;
}

IsolatedFileSystem::Answer IsolatedFileSystem::inHelper(char operation, const QString &first,
                                                        const QString &second,
                                                        const CopyProgress &progress,
                                                        const QString &third)
{
    std::unique_lock lock(m_helper, std::try_to_lock);
    if (helperSocket == -1 || !lock.owns_lock() || !routed(first, operation == 'M' ? third : second))
        return {};
    QByteArray request(1, operation);
    putString(request, first);
    putString(request, second);
    putString(request, third);
    if (!sendPacket(helperSocket, request))
        return {};
    std::vector<char> buffer(PacketSize);
    bool stopSent = false;
    for (;;) {
        const ssize_t received
            = native::retried([&] { return ::recv(helperSocket, buffer.data(), buffer.size(), 0); });
        // A helper that is gone leaves the operation's outcome unknown.
        if (received <= 0) {
            ::close(std::exchange(helperSocket, -1));
            return {true, ErrorNumber::DeviceIoError, 0};
        }
        const char *at = buffer.data() + 1;
        if (buffer[0] == 'P') {
            const auto done = takeNumber<std::int64_t>(at);
            if (progress && !stopSent && !progress(done))
                stopSent = sendPacket(helperSocket, QByteArray(1, 'S'));
            continue;
        }
        Answer answer {true, {}, 0};
        answer.error.number = takeNumber<int>(at);
        answer.value = takeNumber<std::int64_t>(at);
        answer.error.description = takeString(at);
        return answer;
    }
}

namespace {
template<typename T> Result<T> asResult(const IsolatedFileSystem::Answer &answer)
{
    if (answer.error.number != 0)
        return answer.error;
    return T(answer.value);
}
Status asStatus(const IsolatedFileSystem::Answer &answer)
{
    return answer.error.number != 0 ? Status(answer.error) : Status();
}
} // namespace

Result<int> IsolatedFileSystem::GetAttr(const QString &path)
{
    const Answer answer = inHelper('A', path);
    return answer.ran ? asResult<int>(answer) : m_inner.GetAttr(path);
}

Result<std::int64_t> IsolatedFileSystem::FileDateTime(const QString &path)
{
    const Answer answer = inHelper('T', path);
    return answer.ran ? asResult<std::int64_t>(answer) : m_inner.FileDateTime(path);
}

Result<std::int64_t> IsolatedFileSystem::FileLen(const QString &path)
{
    const Answer answer = inHelper('L', path);
    return answer.ran ? asResult<std::int64_t>(answer) : m_inner.FileLen(path);
}

Status IsolatedFileSystem::FileCopy(const QString &source, const QString &target,
                                    const CopyProgress &progress, Replaced replaced)
{
    const Answer answer = inHelper(replaced == Replaced::ToTrash ? 'c' : 'C', source, target, progress);
    return answer.ran ? asStatus(answer) : m_inner.FileCopy(source, target, progress, replaced);
}

Status IsolatedFileSystem::moveToTrash(const QString &path)
{
    const Answer answer = inHelper('D', path);
    return answer.ran ? asStatus(answer) : m_inner.moveToTrash(path);
}

Status IsolatedFileSystem::makeFolders(const QString &targetFolder, const QString &relativeFolder,
                                       const QString &sourceFolder)
{
    const Answer answer = inHelper('M', targetFolder, relativeFolder, {}, sourceFolder);
    return answer.ran ? asStatus(answer) : m_inner.makeFolders(targetFolder, relativeFolder, sourceFolder);
}

Status IsolatedFileSystem::Kill(const QString &path)
{
    const Answer answer = inHelper('K', path);
    return answer.ran ? asStatus(answer) : m_inner.Kill(path);
}

} // namespace dyadix
