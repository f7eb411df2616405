#include "fileactions.h"
#include "targetnames.h"

#include "panes/dirlistmodel.h"
#include "core/conversions.h"
#include "core/errortrap.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace dyadix {

namespace {

constexpr int ConfirmStyle = MsgStyle::YesNo + MsgStyle::Question + MsgStyle::DefaultButton2;
constexpr int OverwriteStyle = MsgStyle::YesNoCancel + MsgStyle::Question;

const QString SessionHint = QStringLiteral(
    "This can not be undone!\nAre you SURE you want to do this?\n"
    "(to turn this message off for this session,\nclick Options > Warn before Actions OFF)");

struct TargetState
{
    QString dateText;
    std::int64_t size = 0;
};

// The target's date and size as they are now; a target that cannot be read has none.
TargetState readTarget(FileSystem &fileSystem, const QString &path)
{
    TargetState state;
    // Only a file can be overwritten; a folder of the same name has no date or size to weigh.
    if (const Result<int> attributes = fileSystem.GetAttr(path);
        !attributes || (*attributes & FileAttribute::Directory) != 0)
        return state;
    if (const Result<std::int64_t> time = fileSystem.FileDateTime(path))
        state.dateText = formatDateText(*time);
    if (const Result<std::int64_t> size = fileSystem.FileLen(path))
        state.size = *size;
    return state;
}

// How far apart two times of one file may be on a drive that keeps them: FAT keeps two seconds.
constexpr std::int64_t TimeGrain = 2;

// Whether a copy has its source's time, as far as both can be read.
bool keptTime(FileSystem &fileSystem, const QString &source, const QString &target)
{
    const Result<std::int64_t> from = fileSystem.FileDateTime(source), to = fileSystem.FileDateTime(target);
    return !from || !to || std::abs(*from - *to) <= TimeGrain;
}

// The sources of moves whose copies are in place, removed only once the copies are on disk.
// One flush of the target's file system serves many files: a flush for each small file would
// take longer than its copy.
class PendingSources
{
public:
    void add(int row, const QString &path, std::int64_t bytes)
    {
        m_sources.push_back({row, path});
        m_bytes += bytes;
    }
    bool due() const { return m_sources.size() >= FilesAtOnce || m_bytes >= BytesAtOnce; }

    // Flushes the target's file system, then removes each source and unticks its line (Ignore
    // at a source that cannot be removed unticks it too). A flush that fails and is ignored
    // keeps the sources, their lines ticked.
    void settle(const ActionContext &c, ErrorTrap &trap, FileListModel &list, const QString &targetFolder)
    {
        const std::vector<Source> sources = std::exchange(m_sources, {});
        m_bytes = 0;
        FileSystem &fileSystem = c.fileSystem;
        if (sources.empty() || !trap.run([&] {
                return c.monitor.run([&fileSystem, targetFolder](const FileSystem::CopyProgress &) {
                    return fileSystem.flushToDisk(targetFolder);
                });
            }))
            return;
        for (const Source &source : sources) {
            trap.run([&] {
                return c.monitor.run([&fileSystem, path = source.path](const FileSystem::CopyProgress &) {
                    return fileSystem.Kill(path);
                });
            });
            if (trap.aborted())
                return;
            list.setSelected(source.row, false);
        }
    }

private:
    static constexpr std::size_t FilesAtOnce = 256;
    static constexpr std::int64_t BytesAtOnce = std::int64_t(256) << 20;
    struct Source
    {
        int row;
        QString path;
    };
    std::vector<Source> m_sources;
    std::int64_t m_bytes = 0;
};

// What the copies of one command could not keep, told once at its end.
struct Losses
{
    int times = 0;                  // files whose time the drive did not keep
    int attributes[3] = {0, 0, 0};  // files that lost user attributes, labels, access lists

    void add(bool timeLost, int attributesLost)
    {
        times += timeLost;
        for (int kind = 0; kind < 3; ++kind)
            attributes[kind] += (attributesLost & (1 << kind)) != 0;
    }

    void report(Prompter &prompter, bool move, const QString &targetFolder) const
    {
        const auto files = [move](int count) {
            return (count == 1 ? QStringLiteral("1 file") : QString::number(count) + QStringLiteral(" files"))
                + (move ? QStringLiteral(" moved to\n") : QStringLiteral(" copied to\n"));
        };
        // A drive that stamps each new file with the time it was written makes every copy look
        // newer than its source at the next Match.
        if (times > 0)
            prompter.MsgBox(QStringLiteral("The drive does not keep file times: ") + files(times) + targetFolder
                                + (times == 1 ? QStringLiteral("\nhas the time of the copy, not its own.")
                                              : QStringLiteral("\nhave the time of the copy, not their own.")),
                            MsgStyle::OkOnly + MsgStyle::Exclamation, QStringLiteral("File Times Not Kept"));
        const char *const kinds[] = {"user attributes (tags, where a download came from)", "security labels", "access lists (ACLs)"};
        QStringList lost;
        for (int kind = 0; kind < 3; ++kind) {
            if (attributes[kind] > 0)
                lost << QString::number(attributes[kind]) + QStringLiteral(" without their ") + QLatin1String(kinds[kind]);
        }
        if (!lost.isEmpty())
            prompter.MsgBox(QStringLiteral("The drive does not hold all the files' extended attributes. Of the files ")
                                + (move ? QStringLiteral("moved to\n") : QStringLiteral("copied to\n")) + targetFolder
                                + QStringLiteral("\n") + lost.join(QStringLiteral(",\n")) + QLatin1Char('.'),
                            MsgStyle::OkOnly + MsgStyle::Exclamation, QStringLiteral("Attributes Not Kept"));
    }
};

// The bytes of the ticked lines.
std::int64_t tickedBytes(const FileListModel &list)
{
    std::int64_t bytes = 0;
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.Selected(i))
            bytes += list.sizeAt(i);
    }
    return bytes;
}

} // namespace

void copyTicked(const ActionContext &c, Direction way, Transfer transfer)
{
    const bool leftToRight = way == Direction::LeftToRight;
    const bool move = transfer == Transfer::Move;
    Pane &source = leftToRight ? c.left : c.right;
    Pane &target = leftToRight ? c.right : c.left;
    const QString direction = leftToRight ? QStringLiteral("Left to Right >>>")
                                          : QStringLiteral("<<< Right to Left");
    const QString word = move ? QStringLiteral("Move ") : QStringLiteral("Copy ");
    const QString sourceFolder = withSeparator(source.dirList.Path());
    const QString targetFolder = withSeparator(target.dirList.Path());
    FileListModel &list = source.lstFiles;

    if (c.warnBeforeActions.isChecked()) {
        const QString prompt = QStringLiteral("You are about to ") + word
            + QString::number(list.SelCount()) + QStringLiteral(" marked files\nfrom \t")
            + sourceFolder + QStringLiteral("\nto   \t") + targetFolder + QStringLiteral("\n\n")
            + SessionHint;
        if (c.prompter.MsgBox(prompt, ConfirmStyle, word + direction + QLatin1Char('?'))
            != MsgAnswer::Yes)
            return;
    }

    ErrorTrap trap(c.prompter, QStringLiteral("Error!"));
    const int count = list.ListCount();
    Losses losses;
    PendingSources pending;
    // Where either folder does not tell case apart, Match paired names without case.
    const bool foldsCase = c.fileSystem.namesFoldCase(source.dirList.Path()) || c.fileSystem.namesFoldCase(target.dirList.Path());
    const TargetNames targetNames(target.lstFiles, foldsCase);
    c.monitor.begin(move ? QStringLiteral("Moving") : QStringLiteral("Copying"), list.SelCount(),
                    tickedBytes(list));
    for (int i = 0; i < count && !trap.aborted() && !c.monitor.stopRequested(); ++i) {
        if (!list.Selected(i))
            continue;
        const PaneEntry entry = list.entry(i);
        c.monitor.nextFile(entry.size);
        const QString sourcePath = sourceFolder + entry.name;
        const QString targetPath = targetFolder + targetNames.nameFor(entry.name);
        // The work runs where it cannot hold the window (a folder may stop answering), and
        // holds only what outlives it: the paths by value, the file system.
        FileSystem &fileSystem = c.fileSystem;
        const auto read = std::make_shared<TargetState>();
        // Work left behind at the user's word (the program is closing) ends the action.
        if (!c.monitor.run([&fileSystem, targetPath, read](const FileSystem::CopyProgress &) {
                *read = readTarget(fileSystem, targetPath);
                return Status();
            }))
            break;
        const TargetState existing = *read;

        QString warning;
        if (!c.markNewer.isChecked()
            && existing.dateText.compare(entry.dateText(), Qt::CaseInsensitive) > 0)
            warning = QStringLiteral(" and Newer");
        if (c.warnIfBigger.isChecked() && existing.size > entry.size)
            warning += QStringLiteral(" and Bigger");
        if (!warning.isEmpty()) {
            const QString prompt = QStringLiteral("Do you really want to copy\n\n") + sourcePath
                + QLatin1Char('\n') + entry.dateText() + QStringLiteral(" - ")
                + QString::number(entry.size) + QStringLiteral(" bytes\n\nover\n\n") + targetPath
                + QLatin1Char('\n') + existing.dateText + QStringLiteral(" - ")
                + QString::number(existing.size) + QStringLiteral(" bytes?");
            const MsgAnswer answer = c.prompter.MsgBox(
                prompt, OverwriteStyle, QStringLiteral("Target File is") + warning.mid(4) + QLatin1Char('!'));
            if (answer == MsgAnswer::Cancel)
                break;
            if (answer != MsgAnswer::Yes)
                continue;
        }

        c.setCaption((move ? QStringLiteral("Moving ") : QStringLiteral("Copying ")) + sourcePath
                     + QStringLiteral(" to ") + targetPath);
        bool sameFile = false;
        bool stopped = false;
        const auto timeLost = std::make_shared<bool>(false);
        const auto attributesLost = std::make_shared<int>(0);
        const bool copied = trap.run([&]() -> Status {
            const Replaced replaced = c.deletedToTrash.isChecked() ? Replaced::ToTrash : Replaced::Dropped;
            // A line named by a path below the pane's folder has its folders made first.
            const QString folders = entry.name.left(std::max<qsizetype>(0, entry.name.lastIndexOf(QLatin1Char('/'))));
            Status status = c.monitor.run([&fileSystem, sourcePath, targetPath, replaced, folders, sourceFolder,
                                           targetFolder, timeLost, attributesLost](const FileSystem::CopyProgress &progress) {
                if (!folders.isEmpty()) {
                    if (Status made = fileSystem.makeFolders(targetFolder, folders, sourceFolder); !made)
                        return made;
                }
                const Result<int> done = fileSystem.FileCopy(sourcePath, targetPath, progress, replaced);
                if (!done)
                    return Status(done.error());
                *timeLost = !keptTime(fileSystem, sourcePath, targetPath);
                *attributesLost = *done;
                return Status();
            });
            sameFile = !status && status.error().number == int(ErrorNumber::SameFile);
            // Stopped at the user's word: nothing to report, and nothing more to do.
            stopped = !status && status.error().number == int(ErrorNumber::Stopped);
            return stopped ? Status() : status;
        });
        if (copied)
            losses.add(*timeLost, *attributesLost);
        if (trap.aborted() || stopped)
            break;
        // Nothing was done to a file that is its own target: its line stays ticked.
        if (sameFile)
            continue;
        if (move) {
            // A source whose copy failed is kept: the file is still only there, and its line
            // stays ticked.
            if (copied)
                pending.add(i, sourcePath, entry.size);
            if (pending.due())
                pending.settle(c, trap, list, targetFolder);
            if (trap.aborted())
                break;
            continue;
        }
        list.setSelected(i, false);
    }
    pending.settle(c, trap, list, targetFolder);
    c.monitor.end();
    c.setCaption(ProgramName);
    losses.report(c.prompter, move, targetFolder);
}

void deleteTicked(const ActionContext &c, int Index)
{
    Pane &pane = Index == 1 ? c.left : c.right;
    const QString paneText = Index == 1 ? QStringLiteral(">> Left") : QStringLiteral("Right <<");
    const QString folder = withSeparator(pane.dirList.Path());
    FileListModel &list = pane.lstFiles;

    if (c.warnBeforeActions.isChecked()) {
        const QString prompt = QStringLiteral("You are about to DELETE ")
            + QString::number(list.SelCount()) + QStringLiteral(" marked files from\n") + folder
            + QStringLiteral("\n\n") + SessionHint;
        if (c.prompter.MsgBox(prompt, ConfirmStyle, QStringLiteral("DELETE from ") + paneText + QLatin1Char('?'))
            != MsgAnswer::Yes)
            return;
    }

    ErrorTrap trap(c.prompter, QStringLiteral("Error!"));
    c.monitor.begin(QStringLiteral("Deleting"), list.SelCount(), 0);
    for (int i = list.ListCount() - 1; i >= 0 && !trap.aborted() && !c.monitor.stopRequested(); --i) {
        if (!list.Selected(i))
            continue;
        const QString path = folder + list.nameAt(i).toString();
        c.monitor.nextFile(0);
        c.setCaption(QStringLiteral("Deleting ") + path);
        bool stopped = false;
        trap.run([&] {
            const bool toTrash = c.deletedToTrash.isChecked();
            const Status status = c.monitor.run([&fileSystem = c.fileSystem, path, toTrash](const FileSystem::CopyProgress &) {
                return toTrash ? fileSystem.moveToTrash(path) : fileSystem.Kill(path);
            });
            stopped = !status && status.error().number == int(ErrorNumber::Stopped);
            return stopped ? Status() : status;
        });
        if (trap.aborted() || stopped)
            break;
        list.RemoveItem(i);
    }
    c.monitor.end();
    c.setCaption(ProgramName);
}

} // namespace dyadix
