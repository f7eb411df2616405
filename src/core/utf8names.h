#pragma once

// File names as bytes and as text, through UTF-8 that keeps every byte.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <string_view>

namespace dyadix {

// File names on this platform are bytes, usually but not always UTF-8. A name is decoded as
// UTF-8, and each byte that is not part of valid UTF-8 becomes the lone surrogate U+DC80..
// U+DCFF, so encoding the text again gives back the very same bytes.
QString decodeUtf8Name(std::string_view bytes);
QByteArray encodeUtf8Name(QStringView text);

} // namespace dyadix
