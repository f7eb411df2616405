#include "matchtool.h"

#include "export/tabexport.h"
#include "match/match.h"
#include "panes/dirlistmodel.h"
#include "panes/panelisting.h"
#include "panes/parsing.h"

#include <QCommandLineParser>

#include <array>
#include <future>
#include <QDir>

namespace dyadix {

namespace {

// Turns every error box into a message for standard error; the command stops at the first.
class ReportingPrompter final : public Prompter
{
public:
    MsgAnswer MsgBox(const QString &text, int, const QString &) override
    {
        if (m_message.isEmpty())
            m_message = text;
        return MsgAnswer::Abort;
    }
    QString InputBox(const QString &, const QString &, const QString &) override { return QString(); }
    const QString &message() const { return m_message; }

private:
    QString m_message;
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

} // namespace

int runMatchTool(const QStringList &arguments, FileSystem &fileSystem, std::FILE *out, std::FILE *err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Matches two folders by file name and writes both lists side by side as a "
                       "tab-delimited file, the later copy of each file marked.\n"
                       "Exit code: 0 nothing to carry over, 1 files to carry over, 2 error."));
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
    const QCommandLineOption help(QStringList {QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    parser.addOptions({filter, earlier, recursive, output, help, version});
    parser.addPositionalArgument(QStringLiteral("LEFT"), QStringLiteral("The left folder."));
    parser.addPositionalArgument(QStringLiteral("RIGHT"), QStringLiteral("The right folder."));

    if (!parser.parse(arguments)) {
        print(err, QStringLiteral("dyadix-match: ") + parser.errorText() + QStringLiteral("\n"));
        return 2;
    }
    if (parser.isSet(help)) {
        print(out, parser.helpText().replace(QStringLiteral("[options]"), QStringLiteral("[--filter PATTERNS] [--mark-earlier] [-r] [--output FILE]")));
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
    for (const Listing &listing : listings) {
        if (!listing.prompter.message().isEmpty()) {
            print(err, QStringLiteral("dyadix-match: ") + QString(listing.prompter.message()).replace(QLatin1Char('\n'), QLatin1Char(' ')) + QStringLiteral("\n"));
            return 2;
        }
    }
    matchLists(left.lstFiles, right.lstFiles, parser.isSet(earlier) ? MarkNewer::Off : MarkNewer::On,
               Merging::OneByOne);
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
    return left.lstFiles.SelCount() + right.lstFiles.SelCount() > 0 ? 1 : 0;
}

} // namespace dyadix
