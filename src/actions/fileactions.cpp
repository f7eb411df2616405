#include "fileactions.h"
#include "copylosses.h"
#include "pendingsources.h"
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
    "Are you SURE you want to do this?\n"
    "(to turn this message off for this session,\nclick Options > Warn before Actions OFF)");

// What a confirmation says can be had back: nothing, or with the Trash on, what goes there.
QString undoLine(const ActionContext &c, bool deleting)
{
    if (!c.deletedToTrash.isChecked())
        return QStringLiteral("This can not be undone!\n");
    return deleting ? QStringLiteral("They go to the Trash, from which they can be restored.\n")
                    : QStringLiteral("Files it replaces go to the Trash, from which they can be restored.\n");
}

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

} // namespace

// A file the command left undone keeps its tick, and its line says why.
void noteUndone(FileListModel &list, int row, const QString &what, const RunTimeError &error)
{
    list.setNote(row, what + QStringLiteral(": Error ") + QString::number(error.number) + QStringLiteral(", ") + error.description,
                 FileListModel::Note::Failed);
}

namespace {

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
            + undoLine(c, false) + SessionHint;
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

        const QString caption = (move ? QStringLiteral("Moving ") : QStringLiteral("Copying ")) + sourcePath
            + QStringLiteral(" to ") + targetPath;
        c.setCaption(caption);
        trap.setAbout(caption);
        bool stopped = false;
        const auto timeLost = std::make_shared<bool>(false);
        const auto attributesLost = std::make_shared<int>(0);
        const auto sourceSeen = std::make_shared<Seen>();
        const bool copied = trap.run([&]() -> Status {
            const Replaced replaced = c.deletedToTrash.isChecked() ? Replaced::ToTrash : Replaced::Dropped;
            // A line named by a path below the pane's folder has its folders made first.
            const QString folders = entry.name.left(std::max<qsizetype>(0, entry.name.lastIndexOf(QLatin1Char('/'))));
            Status status = c.monitor.run([&fileSystem, sourcePath, targetPath, replaced, folders, sourceFolder,
                                           targetFolder, timeLost, attributesLost, sourceSeen](const FileSystem::CopyProgress &progress) {
                if (!folders.isEmpty()) {
                    if (Status made = fileSystem.makeFolders(targetFolder, folders, sourceFolder); !made)
                        return made;
                }
                const Result<int> done = fileSystem.FileCopy(sourcePath, targetPath, progress, replaced);
                if (!done)
                    return Status(done.error());
                *timeLost = !keptTime(fileSystem, sourcePath, targetPath);
                *attributesLost = *done;
                *sourceSeen = seenNow(fileSystem, sourcePath);
                return Status();
            });
            // Stopped at the user's word: nothing to report, and nothing more to do.
            stopped = !status && status.error().number == int(ErrorNumber::Stopped);
            return stopped ? Status() : status;
        });
        if (copied)
            losses.add(*timeLost, *attributesLost);
        else // a move's source is kept: the file is still only there
            noteUndone(list, i, move ? QStringLiteral("Not moved") : QStringLiteral("Not copied"), trap.lastError());
        if (copied && !*timeLost && !stopped && c.broughtInStep)
            c.broughtInStep(entry);
        if (trap.aborted() || stopped)
            break;
        if (!copied)
            continue;
        if (move) {
            pending.add(i, sourcePath, targetPath, *sourceSeen, entry.size);
            if (pending.due())
                pending.settle(c, trap, list);
            if (trap.aborted())
                break;
            continue;
        }
        list.setSelected(i, false);
    }
    // An Abort was about another file: the copies made before it are finished all the same.
    ErrorTrap afterAbort(c.prompter, QStringLiteral("Error!"));
    pending.settle(c, trap.aborted() ? afterAbort : trap, list);
    c.monitor.end();
    c.setCaption(ProgramName);
    losses.changed = pending.changed;
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
            + QStringLiteral("\n\n") + undoLine(c, true) + SessionHint;
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
        const QString caption = QStringLiteral("Deleting ") + path;
        c.setCaption(caption);
        trap.setAbout(caption);
        bool stopped = false;
        const bool deleted = trap.run([&] {
            const bool toTrash = c.deletedToTrash.isChecked();
            const Status status = c.monitor.run([&fileSystem = c.fileSystem, path, toTrash](const FileSystem::CopyProgress &) {
                return toTrash ? fileSystem.moveToTrash(path) : fileSystem.Kill(path);
            });
            stopped = !status && status.error().number == int(ErrorNumber::Stopped);
            return stopped ? Status() : status;
        });
        if (!deleted)
            noteUndone(list, i, QStringLiteral("Not deleted"), trap.lastError());
        if (trap.aborted() || stopped)
            break;
        if (deleted)
            list.RemoveItem(i);
    }
    c.monitor.end();
    c.setCaption(ProgramName);
}

} // namespace dyadix
