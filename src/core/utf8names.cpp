#include "utf8names.h"

namespace dyadix {

namespace {

constexpr char16_t EscapeBase = 0xDC00;

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the valid UTF-8 sequence starting at `at` and its code point, or 0.
int decodeSequence(std::string_view bytes, size_t at, char32_t &codePoint)
{
    const auto b0 = static_cast<unsigned char>(bytes[at]);
    const size_t left = bytes.size() - at;
    auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[at + k]); };
    if (b0 >= 0xC2 && b0 <= 0xDF && left >= 2 && isContinuation(byte(1))) {
        codePoint = (char32_t(b0 & 0x1F) << 6) | (byte(1) & 0x3F);
        return 2;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF && left >= 3 && isContinuation(byte(1))
        && isContinuation(byte(2))) {
        codePoint = (char32_t(b0 & 0x0F) << 12) | (char32_t(byte(1) & 0x3F) << 6)
            | (byte(2) & 0x3F);
        if (codePoint < 0x800 || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return 0; // overlong, or an encoded surrogate
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4 && left >= 4 && isContinuation(byte(1))
        && isContinuation(byte(2)) && isContinuation(byte(3))) {
        codePoint = (char32_t(b0 & 0x07) << 18) | (char32_t(byte(1) & 0x3F) << 12)
            | (char32_t(byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
        if (codePoint < 0x10000 || codePoint > 0x10FFFF)
            return 0;
        return 4;
    }
    return 0;
}

} // namespace

QString decodeUtf8Name(std::string_view bytes)
{
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));

    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (size_t at = 0; at < bytes.size();) {
        const auto b0 = static_cast<unsigned char>(bytes[at]);
        if (b0 < 0x80) {
            text.append(QChar(b0));
            ++at;
            continue;
        }
        char32_t codePoint = 0;
        const int length = decodeSequence(bytes, at, codePoint);
        if (length == 0) {
            text.append(QChar(char16_t(EscapeBase + b0)));
            ++at;
            continue;
        }
        if (codePoint >= 0x10000) {
            const char32_t v = codePoint - 0x10000;
            text.append(QChar(char16_t(0xD800 + (v >> 10))));
            text.append(QChar(char16_t(0xDC00 + (v & 0x3FF))));
        } else {
            text.append(QChar(char16_t(codePoint)));
        }
        at += static_cast<size_t>(length);
    }
    return text;
}

QByteArray encodeUtf8Name(QStringView text)
{
    // Text without escaped bytes is plain UTF-8.
    bool escaped = false;
    for (const QChar c : text) {
        if (c.unicode() >= EscapeBase + 0x80 && c.unicode() <= EscapeBase + 0xFF) {
            escaped = true;
            break;
        }
    }
    if (!escaped)
        return text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        char32_t codePoint = u;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && text[i + 1].unicode() >= 0xDC00
            && text[i + 1].unicode() <= 0xDFFF) {
            codePoint = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1].unicode() - 0xDC00);
            ++i;
        } else if (u >= EscapeBase + 0x80 && u <= EscapeBase + 0xFF) {
            bytes.append(static_cast<char>(u - EscapeBase));
            continue;
        }
        if (codePoint < 0x80) {
            bytes.append(static_cast<char>(codePoint));
        } else if (codePoint < 0x800) {
            bytes.append(static_cast<char>(0xC0 | (codePoint >> 6)));
            bytes.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else if (codePoint < 0x10000) {
            bytes.append(static_cast<char>(0xE0 | (codePoint >> 12)));
            bytes.append(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
            bytes.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else {
            bytes.append(static_cast<char>(0xF0 | (codePoint >> 18)));
            bytes.append(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
            bytes.append(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
            bytes.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
        }
    }
    return bytes;
}

} // namespace dyadix
