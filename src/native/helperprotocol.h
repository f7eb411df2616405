#pragma once

// The messages between the program and its file helper: one operation a request, progress
// while a copy runs, and the result.

#include "core/runtimeerror.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace dyadix::helper {

// What the program asks of the helper.
enum class Operation : char {
    Copy = 'C',
    CopyReplacedToTrash = 'c',
    Kill = 'K',
    MoveToTrash = 'D',
    MakeFolders = 'M',
    Attributes = 'A',
    ModifiedTime = 'T',
    Length = 'L',
    CompareContents = 'E', // the result's value: 1 the same, 0 different
    FlushToDisk = 'F',
};

// What the helper sends back: progress of a copy or a comparison, then its result.
enum class Reply : char { Progress = 'P', Result = 'R' };

// What the program may send while a copy or a comparison runs: stop it.
constexpr char StopByte = 'S';

// Messages go one a packet, at most this long.
constexpr std::size_t PacketSize = 1 << 16;

struct Request
{
    Operation operation;
    QString first, second, third;
};

QByteArray requestPacket(const Request &request);
// A request read back; nothing for a packet that holds no known operation or is cut short.
std::optional<Request> readRequest(const char *packet, std::size_t size);

QByteArray progressPacket(std::int64_t bytesDone);
QByteArray resultPacket(const RunTimeError &error, std::int64_t value);

// A reply read back: progress (its bytes in `value`) or the result.
struct ReplyMessage
{
    Reply kind = Reply::Result;
    RunTimeError error;
    std::int64_t value = 0;
};
std::optional<ReplyMessage> readReply(const char *packet, std::size_t size);

// Sends one packet; false when the other end is gone.
bool sendPacket(int socket, const QByteArray &packet, int flags = 0);

} // namespace dyadix::helper
