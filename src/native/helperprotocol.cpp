#include "helperprotocol.h"

#include "nativeposix.h"

#include <cstring>
#include <sys/socket.h>

namespace dyadix::helper {

namespace {

void putNumber(QByteArray &packet, const auto &value)
{
    packet.append(reinterpret_cast<const char *>(&value), sizeof value);
}

void putString(QByteArray &packet, const QString &text)
{
    putNumber(packet, std::uint32_t(text.size()));
    packet.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

// Reads the parts of a packet in order; a read past its end leaves it failed.
class PacketReader
{
public:
    PacketReader(const char *packet, std::size_t size) : m_at(packet), m_left(size) {}
    bool failed() const { return m_failed; }

    template<typename T> T number()
    {
        T value {};
        if (take(sizeof value))
            std::memcpy(&value, m_at - sizeof value, sizeof value);
        return value;
    }
    QString string()
    {
        const auto length = number<std::uint32_t>();
        if (!take(std::size_t(length) * 2))
            return {};
        QString text(qsizetype(length), Qt::Uninitialized);
        std::memcpy(text.data(), m_at - std::size_t(length) * 2, std::size_t(length) * 2);
        return text;
    }

private:
    bool take(std::size_t bytes)
    {
        if (m_failed || bytes > m_left) {
            m_failed = true;
            return false;
        }
        m_at += bytes;
        m_left -= bytes;
        return true;
    }
    const char *m_at;
    std::size_t m_left;
    bool m_failed = false;
};

bool isOperation(char byte)
{
    for (Operation known : {Operation::Copy, Operation::CopyReplacedToTrash, Operation::Kill,
                            Operation::MoveToTrash, Operation::MakeFolders, Operation::Attributes,
                            Operation::ModifiedTime, Operation::Length, Operation::CompareContents,
                            Operation::FlushToDisk}) {
        if (byte == char(known))
            return true;
    }
    return false;
}

} // namespace

QByteArray requestPacket(const Request &request)
{
    QByteArray packet(1, char(request.operation));
    putString(packet, request.first);
    putString(packet, request.second);
    putString(packet, request.third);
    return packet;
}

std::optional<Request> readRequest(const char *packet, std::size_t size)
{
    if (size == 0 || !isOperation(packet[0]))
        return std::nullopt;
    PacketReader reader(packet + 1, size - 1);
    Request request {Operation(packet[0]), reader.string(), reader.string(), reader.string()};
    if (reader.failed())
        return std::nullopt;
    return request;
}

QByteArray progressPacket(std::int64_t bytesDone)
{
    QByteArray packet(1, char(Reply::Progress));
    putNumber(packet, bytesDone);
    return packet;
}

QByteArray resultPacket(const RunTimeError &error, std::int64_t value)
{
    QByteArray packet(1, char(Reply::Result));
    putNumber(packet, error.number);
    putNumber(packet, value);
    putString(packet, error.description);
    putNumber(packet, int(error.subjectKind));
    putString(packet, error.subject);
    return packet;
}

std::optional<ReplyMessage> readReply(const char *packet, std::size_t size)
{
    if (size == 0 || (packet[0] != char(Reply::Progress) && packet[0] != char(Reply::Result)))
        return std::nullopt;
    PacketReader reader(packet + 1, size - 1);
    ReplyMessage reply;
    reply.kind = Reply(packet[0]);
    if (reply.kind == Reply::Progress) {
        reply.value = reader.number<std::int64_t>();
    } else {
        reply.error.number = reader.number<int>();
        reply.value = reader.number<std::int64_t>();
        reply.error.description = reader.string();
        const int subjectKind = reader.number<int>();
        reply.error.subject = reader.string();
        if (subjectKind < int(RunTimeError::Subject::None) || subjectKind > int(RunTimeError::Subject::FolderNotFound))
            return std::nullopt;
        reply.error.subjectKind = RunTimeError::Subject(subjectKind);
    }
    if (reader.failed())
        return std::nullopt;
    return reply;
}

bool sendPacket(int socket, const QByteArray &packet, int flags)
{
    const std::size_t size = std::size_t(packet.size());
    return native::retried([&] { return ::send(socket, packet.constData(), size, flags | MSG_NOSIGNAL); })
        != -1;
}

} // namespace dyadix::helper
