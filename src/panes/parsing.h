#pragma once

// Lines and filters taken apart into their fields.

#include <QString>
#include <QStringList>

#include <cstdint>

namespace dyadix {

// Splits a line text into its name, date text and size: the name is the text before the
// first TAB, the date the text between the first and second TAB, the size the number read
// from the rest. A text without TAB stays as it is, with an empty date and size 0.
void FileDateSize(QString &Fil1, QString &Date1, std::int64_t &Size1);

// Takes the next field off Line1 up to the one-character separator Ch and returns it with
// blanks trimmed from both ends; Line1 loses the field and the separator.
QString Parse(QString &Line1, const QString &Ch);

// The patterns of a filter text, in order: its comma-separated fields, each with blanks trimmed
// ("*.*" for an empty filter).
QStringList filterPatterns(QString filter);

// Removes spaces (only spaces) from both ends.
QString trimBlanks(QStringView text);

} // namespace dyadix
