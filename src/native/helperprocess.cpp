#include "helperprocess.h"

#include "nativefilesystem.h"
#include "nativeposix.h"

#include <cerrno>
#include <csignal>
#include <mutex>
#include <sys/socket.h>
#include <unistd.h>

namespace dyadix::helper {

namespace {

// The program's end of the line to the helper; -1 without one.
int helperSocket = -1;
std::mutex helperInUse;

template<typename T> QByteArray resultOf(const Result<T> &result)
{
    if (!result)
        return resultPacket(result.error(), 0);
    if constexpr (std::is_same_v<T, void>)
        return resultPacket({}, 0);
    else
        return resultPacket({}, std::int64_t(*result));
}

QByteArray run(NativeFileSystem &fileSystem, const Request &request, int socket)
{
    // A stop, or the program gone, ends a copy or a comparison at once: a copy's target stays
    // as it was.
    const FileSystem::CopyProgress progress = [socket](std::int64_t done) {
        sendPacket(socket, progressPacket(done), MSG_DONTWAIT);
        char stop = 0;
        const ssize_t heard = ::recv(socket, &stop, 1, MSG_DONTWAIT);
        return heard == -1 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
    };
    switch (request.operation) {
    case Operation::Copy:
    case Operation::CopyReplacedToTrash:
        return resultOf(fileSystem.FileCopy(request.first, request.second, progress,
                                            request.operation == Operation::CopyReplacedToTrash
                                                ? Replaced::ToTrash
                                                : Replaced::Dropped));
    case Operation::CompareContents: {
        const Result<Contents> found = fileSystem.compareContents({{request.first, request.second}}, progress).front();
        return found ? resultPacket({}, *found == Contents::Same ? 1 : 0) : resultPacket(found.error(), 0);
    }
    case Operation::Kill: return resultOf(fileSystem.Kill(request.first));
    case Operation::FlushToDisk: return resultOf(fileSystem.flushToDisk(request.first.split(QChar(0))));
    case Operation::MoveToTrash: return resultOf(fileSystem.moveToTrash(request.first));
    case Operation::MakeFolders:
        return resultOf(fileSystem.makeFolders(request.first, request.second, request.third));
    case Operation::Attributes: return resultOf(fileSystem.GetAttr(request.first));
    case Operation::ModifiedTime: return resultOf(fileSystem.FileDateTime(request.first));
    case Operation::Length: return resultOf(fileSystem.FileLen(request.first));
    }
    return resultPacket(ErrorNumber::InvalidArgument, 0);
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
        const ssize_t received = native::retried([&] { return ::recv(socket, buffer.data(), buffer.size(), 0); });
        if (received <= 0)
            ::_exit(0);
        const std::optional<Request> request = readRequest(buffer.data(), std::size_t(received));
        // A request the helper does not know is refused, never guessed at.
        const QByteArray answer = request ? run(fileSystem, *request, socket)
                                          : resultPacket(ErrorNumber::InvalidArgument, 0);
        if (!sendPacket(socket, answer))
            ::_exit(0);
    }
}

} // namespace

void start()
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

Answer ask(const Request &request, const FileSystem::CopyProgress &progress)
{
    std::unique_lock lock(helperInUse, std::try_to_lock);
    if (helperSocket == -1 || !lock.owns_lock())
        return {};
    if (!sendPacket(helperSocket, requestPacket(request)))
        return {};
    std::vector<char> buffer(PacketSize);
    bool stopSent = false;
    for (;;) {
        const ssize_t received
            = native::retried([&] { return ::recv(helperSocket, buffer.data(), buffer.size(), 0); });
        const std::optional<ReplyMessage> reply
            = received > 0 ? readReply(buffer.data(), std::size_t(received)) : std::nullopt;
        if (!reply) {
            ::close(std::exchange(helperSocket, -1));
            return {true, ErrorNumber::DeviceIoError, 0};
        }
        if (reply->kind == Reply::Progress) {
            if (progress && !stopSent && !progress(reply->value))
                stopSent = sendPacket(helperSocket, QByteArray(1, StopByte));
            continue;
        }
        return {true, reply->error, reply->value};
    }
}

} // namespace dyadix::helper
