#include "tabexport.h"

#include "panes/dirlistmodel.h"
#include "panes/parsing.h"
#include "core/errortrap.h"
#include "core/utf8names.h"

#include <functional>
#include <future>

namespace dyadix {

namespace {

bool needsQuotes(NameView field)
{
    for (qsizetype i = 0; i < field.size; ++i) {
        const char16_t u = field.wide ? field.utf16()[i] : char16_t(field.bytes()[i]);
        if (u == u'\t' || u == u'\n' || u == u'\r' || u == u'"')
            return true;
    }
    return false;
}

// A field as a spreadsheet reads it back whole: one that holds a TAB, a line end or a double
// quote goes in double quotes, each double quote doubled; any other goes as it is.
void appendField(QString &line, QStringView field)
{
    if (!needsQuotes(field)) {
        line += field;
        return;
    }
    line += QLatin1Char('"');
    for (const QChar c : field) {
        if (c == QLatin1Char('"'))
            line += QLatin1Char('"');
        line += c;
    }
    line += QLatin1Char('"');
}

// A list line's three fields, the name quoted where it must be.
void appendEntry(QString &line, const FileListModel &list, int index)
{
    const NameView name = list.nameAt(index);
    if (!needsQuotes(name)) {
        list.appendLine(line, index);
        return;
    }
    appendField(line, name.toString());
    appendLineText(line, NameView(), list.dateAt(index), list.sizeAt(index), list.placeholderAt(index));
}

// Rows `from` to `to` of the export, encoded a few thousand at a time so that the text is
// never held twice.
QByteArray exportRows(const FileListModel &l, const FileListModel &r, int from, int to)
{
    const int leftCount = l.ListCount();
    const int rightCount = r.ListCount();
    QByteArray bytes;
    bytes.reserve(qsizetype(to - from) * 64);
    QString text;
    for (int i = from; i < to; ++i) {
        if (i < leftCount)
            appendEntry(text, l, i);
        else
            text += QLatin1String("\t\t");
        text += QLatin1Char('\t');
        if (i < leftCount && i < rightCount) {
            if (r.Selected(i))
                text += QLatin1String("<<");
            else if (l.Selected(i))
                text += QLatin1String(">>");
        }
        text += QLatin1Char('\t');
        if (i < rightCount)
            appendEntry(text, r, i);
        text += QLatin1String("\r\n");
        if (text.size() > 1 << 16) {
            bytes += encodeUtf8Name(text);
            text.clear();
        }
    }
    bytes += encodeUtf8Name(text);
    return bytes;
}

} // namespace

bool exportChunks(const Pane &left, const Pane &right, const std::function<bool(const QByteArray &)> &take)
{
    const FileListModel &l = left.lstFiles;
    const FileListModel &r = right.lstFiles;
    QString head;
    appendField(head, withSeparator(left.dirList.Path()));
    head += QStringLiteral("\t\t\t\t");
    appendField(head, withSeparator(right.dirList.Path()));
    head += QStringLiteral("\r\n\r\nFile\tDate / Time\tSize\t<>\tFile\tDate / Time\tSize\r\n");
    if (!take(encodeUtf8Name(head)))
        return false;
    const int rows = std::max(l.ListCount(), r.ListCount());
    // Rows go in blocks, the next made on a second thread while the last is taken; the lists
    // are only read meanwhile.
    constexpr int BlockRows = 1 << 15;
    const auto block = [&](int from) {
        return std::async(rows > BlockRows ? std::launch::async : std::launch::deferred, exportRows,
                          std::cref(l), std::cref(r), from, std::min(rows, from + BlockRows));
    };
    std::future<QByteArray> next = block(0);
    for (int from = 0; from < rows; from += BlockRows) {
        const QByteArray bytes = next.get();
        if (from + BlockRows < rows)
            next = block(from + BlockRows);
        if (!take(bytes)) {
            if (next.valid())
                next.wait();
            return false;
        }
    }
    return true;
}

QByteArray exportContent(const Pane &left, const Pane &right)
{
    QByteArray content;
    exportChunks(left, right, [&content](const QByteArray &bytes) {
        content += bytes;
        return true;
    });
    return content;
}

void exportToFile(ExportContext &c)
{
    const QString prompt = QStringLiteral("This will create (or overwrite) a Tab-delimited file\n"
                                          "which you can then open in Excel (Text file options).\n\n"
                                          "Full path and file name?");
    const QString stored = c.settings.GetSetting(c.SettingsApp, c.SettingsSection,
                                                 QStringLiteral("ExportFile"), c.defaultFileName);
    const QString answer = c.prompter.InputBox(prompt, QStringLiteral("Export Text file for Excel:"), stored);
    if (trimBlanks(answer).isEmpty())
        return;
    c.setMousePointer(MousePointer::Hourglass);
    ErrorTrap trap(c.prompter, QStringLiteral("Error!"));
    const QByteArray content = exportContent(c.left, c.right);
    // The name is remembered only for an export that was written.
    if (trap.run([&] { return c.fileSystem.writeFile(answer, content); }))
        trap.run([&] { return c.settings.SaveSetting(c.SettingsApp, c.SettingsSection, QStringLiteral("ExportFile"), answer); });
    c.setMousePointer(MousePointer::Default);
}

} // namespace dyadix
