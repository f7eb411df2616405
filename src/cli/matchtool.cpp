#include "matchtool.h"

#include "export/tabexport.h"
#include "match/contentmatch.h"
#include "match/match.h"
#include "panes/dirlistmodel.h"
#include "panes/panelisting.h"
#include "panes/parsing.h"

#include "core/folderpath.h"

#include <QCommandLineParser>

#include <array>
#include <future>
#include <QDir>

namespace dyadix {

namespace {

// Turns every error box into a message for standard error and goes on, as Ignore does.
class ReportingPrompter final : public Prompter
{
public:
    MsgAnswer MsgBox(const QString &text, int style, const QString &, const QString & = {}) override
    {
        // A file whose time and size both fail is told of once.
        if (m_messages.isEmpty() || m_messages.back() != text)
            m_messages << text;
        switch (MsgStyle::buttonSet(style)) {
        case MsgStyle::AbortRetryIgnore: return MsgAnswer::Ignore;
        case MsgStyle::YesNo:
        case MsgStyle::YesNoCancel: return MsgAnswer::No;
        default: return MsgAnswer::Ok;
        }
    }
    QString InputBox(const QString &, const QString &, const QString &) override { return QString(); }
    // Prints the messages so far, one a line; whether there were any.
    bool report(std::FILE *err);

private:
    QStringList m_messages;
};

class QuietHost final : public ListingHost
{
public:
    void setMousePointer(MousePointer) override {}
    void processEvents() override {}
};

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

bool ReportingPrompter::report(std::FILE *err)
{
    const QStringList messages = std::exchange(m_messages, {});
    for (const QString &message : messages)
        print(err, QStringLiteral("dyadix-match: ") + QString(message).replace(QLatin1Char('\n'), QLatin1Char(' ')) + QStringLiteral("\n"));
    return !messages.isEmpty();
}

} // namespace

int runMatchTool(const QStringList &arguments, FileSystem &fileSystem, std::FILE *out, std::FILE *err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Matches two folders by file name and writes both lists side by side as a "
                       "tab-delimited file, the later copy of each file marked.\n"
                       "What cannot be read is reported on standard error and left out.\n"
                       "Exit code: 0 nothing to carry over, 1 files to carry over or something left out, 2 error."));
    const QCommandLineOption filter(QStringLiteral("filter"),
                                    QStringLiteral("Wildcard patterns, separated by commas (default *.*)."),
                                    QStringLiteral("patterns"), QStringLiteral("*.*"));
    const QCommandLineOption earlier(QStringLiteral("mark-earlier"),
                                     QStringLiteral("Mark the earlier copy of each pair instead of the later."));
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("Write to this file instead of standard output (- is standard output)."),
                                    QStringLiteral("file"));
    const QCommandLineOption recursive(QStringList {QStringLiteral("r"), QStringLiteral("recursive")},
                                       QStringLiteral("Include subfolders: match the two whole trees by each file's path below its folder."));
    const QCommandLineOption contents(QStringLiteral("contents"),
                                      QStringLiteral("Compare contents: a marked pair of one size whose contents are the same is not marked."));
    const QCommandLineOption help(QStringList {QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    parser.addOptions({filter, earlier, recursive, contents, output, help, version});
    parser.addPositionalArgument(QStringLiteral("LEFT"), QStringLiteral("The left folder."));
    parser.addPositionalArgument(QStringLiteral("RIGHT"), QStringLiteral("The right folder."));

    if (!parser.parse(arguments)) {
        print(err, QStringLiteral("dyadix-match: ") + parser.errorText() + QStringLiteral("\n"));
        return 2;
    }
    if (parser.isSet(help)) {
        print(out, parser.helpText().replace(QStringLiteral("[options]"), QStringLiteral("[--filter PATTERNS] [--mark-earlier] [-r] [--contents] [--output FILE]")));
        return 0;
    }
    if (parser.isSet(version)) {
        print(out, QStringLiteral("dyadix-match ") + QStringLiteral(DYADIX_VERSION_TEXT) + QStringLiteral("\n"));
        return 0;
    }
    const QStringList folders = parser.positionalArguments();
    if (folders.size() != 2) {
        print(err, QStringLiteral("dyadix-match: give two folders, LEFT and RIGHT (see --help)\n"));
        return 2;
    }

    Pane left(1, fileSystem, QStringLiteral("Left"));
    Pane right(2, fileSystem, QStringLiteral("Right"));
    for (int i = 0; i < 2; ++i) {
        Pane &pane = i == 0 ? left : right;
        const Status moved = pane.dirList.setPath(QDir::cleanPath(QDir::current().absoluteFilePath(folders[i])));
        if (!moved) {
            print(err, QStringLiteral("dyadix-match: ") + folders[i] + QStringLiteral(": ") + moved.error().description + QStringLiteral("\n"));
            return 2;
        }
    }
    // The two folders are listed at once, each on its own thread with its own helpers.
    struct Listing
    {
        ReportingPrompter prompter;
        QuietHost host;
        TextBox filter;
        TextBox otherStatus;
    };
    std::array<Listing, 2> listings;
    auto list = [&](int i) {
        Listing &own = listings[size_t(i)];
        own.filter.setText(parser.value(filter));
        ListingContext context {fileSystem, own.prompter, own.host, i == 0 ? left : right,
                                own.otherStatus, own.filter, {}, {}, {},
                                parser.isSet(recursive) ? Subfolders::Included : Subfolders::Excluded, {}};
        listPane(context);
    };
    std::future<void> rightListed = std::async(std::launch::async, list, 1);
    list(0);
    rightListed.get();
    bool leftOut = false;
    for (Listing &listing : listings)
        leftOut = listing.prompter.report(err) || leftOut;
    // A folder that could not be listed at all leaves nothing to match it against.
    for (int i = 0; i < 2; ++i) {
        if ((i == 0 ? left : right).unread.contains(QString())) {
            print(err, QStringLiteral("dyadix-match: ") + folders[i] + QStringLiteral(": could not be read\n"));
            return 2;
        }
    }
    matchLists(left.lstFiles, right.lstFiles, parser.isSet(earlier) ? MarkNewer::Off : MarkNewer::On,
               Merging::OneByOne, Unread {left.unread, right.unread}, nameRuleOf(fileSystem, left.dirList.Path(), right.dirList.Path()));
    if (parser.isSet(contents)) {
        ReportingPrompter prompter;
        ErrorTrap trap(prompter, QStringLiteral("Error!"));
        InlineWorkMonitor monitor;
        untickSameContents(left.lstFiles, right.lstFiles,
                           ContentCheck {fileSystem, monitor, trap, withSeparator(left.dirList.Path()), withSeparator(right.dirList.Path())});
        leftOut = prompter.report(err) || leftOut;
    }
    // "-" is standard output; a pipe, terminal or device named is written into as it is.
    if (parser.isSet(output) && parser.value(output) != QStringLiteral("-")) {
        const Status written = fileSystem.writeFile(parser.value(output), exportContent(left, right), SpecialTarget::WriteInto);
        if (!written) {
            print(err, QStringLiteral("dyadix-match: ") + parser.value(output) + QStringLiteral(": ") + written.error().description + QStringLiteral("\n"));
            return 2;
        }
    } else {
        // Standard output takes the rows as they are made.
        const bool written = exportChunks(left, right, [out](const QByteArray &bytes) {
            return std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), out)
                == static_cast<size_t>(bytes.size());
        });
        if (!written || std::fflush(out) != 0) {
            print(err, QStringLiteral("dyadix-match: could not write the output\n"));
            return 2;
        }
    }
    return leftOut || left.lstFiles.SelCount() + right.lstFiles.SelCount() > 0 ? 1 : 0;
}

} // namespace dyadix
