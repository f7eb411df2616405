#include "panelisting.h"

#include "parsing.h"

#include "core/datestamp.h"

#include <QElapsedTimer>

#include <functional>
#include <optional>

namespace dyadix {

namespace {

const QColor StatusEqual(0, 255, 0);
const QColor StatusDiffer(192, 192, 192);

// Lines are handed to the list in batches of at most this many, so that a folder of a million
// files is never held twice over. A tree's lines come in the list's order and are appended, so
// its batches can be smaller; a folder's come in any order and each batch is merged into the list.
constexpr size_t FolderBatchLines = 1 << 16;
constexpr size_t TreeBatchLines = 1 << 13;

} // namespace

QString listingStatus(std::int64_t count, std::int64_t total, const QString &earliest,
                      const QString &latest)
{
    if (count == 0)
        return QStringLiteral("0 files.");
    return QString::number(count) + QLatin1String(" files, ") + QString::number(total)
        + QLatin1String(" bytes, ") + earliest + QLatin1String(" to ") + latest;
}

void listPane(ListingContext &c)
{
    Pane &pane = c.pane;
    FileListModel &list = pane.lstFiles;
    ErrorTrap trap(c.prompter, QStringLiteral("Error in Sub dirList_Change"), PromptText::Described);
    c.host.setMousePointer(MousePointer::Hourglass);
    list.Clear();
    pane.unread.clear();
    const QString folderText = withSeparator(pane.dirList.Path());
    std::int64_t count = 0;
    std::int64_t total = 0;
    if (c.txtSelect.Text().isEmpty())
        c.txtSelect.setText(QStringLiteral("*.*"));
    std::optional<std::int64_t> earliest;
    std::optional<std::int64_t> latest;

    LocalDates dates;
    std::vector<PaneEntry> batch;
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    auto flush = [&] {
        list.addItems(std::move(batch));
        batch.clear();
    };

    // A listing that takes long (a tree, a folder of 100,000s of files) shows how far it is.
    const auto repaintIfDue = [&] {
        if (sinceRepaint.elapsed() < ListingRepaintMilliseconds)
            return;
        flush();
        pane.txtStatus.setText(QString::number(count) + QLatin1String(" files so far..."));
        c.host.processEvents();
        sinceRepaint.restart();
    };

    // One file found: read again under the prompt where the enumeration could not read it.
    // With subfolders, a subfolder that could not be read comes as its path ending in "/":
    // Retry reads it again, Ignore leaves it out.
    QString pattern;
    bool stopped = false;
    std::function<void(DirEntry &)> take = [&](DirEntry &file) {
        if ((file.stat.attributes & FileAttribute::Directory) != 0)
            return;
        if (file.name.endsWith(QLatin1Char('/'))) {
            const QString subfolder = file.name;
            const QString path = folderText + subfolder;
            std::optional<RunTimeError> firstError = RunTimeError(ErrorNumber(file.statError));
            const bool subfolderRead = trap.run([&]() -> Status {
                if (firstError)
                    return std::exchange(firstError, std::nullopt)->onPath(path);
                const Status walked = c.fileSystem.walkTree(path, pattern, [&](std::vector<DirEntry> &more) {
                    for (DirEntry &entry : more) {
                        if (trap.aborted() || stopped)
                            break;
                        entry.name.prepend(subfolder);
                        take(entry);
                    }
                    return !trap.aborted() && !stopped;
                });
                if (!walked)
                    return walked.error().onPath(path);
                return {};
            });
            if (!subfolderRead && !trap.aborted())
                pane.unread << subfolder;
            return;
        }
        std::int64_t time = file.stat.modified;
        std::int64_t size = file.stat.size;
        bool read = true;
        if (file.statError != 0) {
            // A file that could not be read during the enumeration is read again, under
            // the prompt, with its path as the prompt's context.
            const QString path = folderText + file.name;
            std::optional<RunTimeError> firstError = RunTimeError(ErrorNumber(file.statError));
            const bool timeRead = trap.run([&]() -> Status {
                if (firstError)
                    return std::exchange(firstError, std::nullopt)->onPath(path);
                const Result<std::int64_t> again = c.fileSystem.FileDateTime(path);
                if (!again)
                    return again.error().onPath(path);
                time = *again;
                return {};
            });
            const bool sizeRead = !trap.aborted() && trap.run([&]() -> Status {
                const Result<std::int64_t> again = c.fileSystem.FileLen(path);
                if (!again)
                    return again.error().onPath(path);
                size = *again;
                return {};
            });
            // A file whose time or size could not be read is left out rather than shown
            // with another file's values.
            read = timeRead && sizeRead;
            if (!read && !trap.aborted())
                pane.unread << file.name;
        }
        if (read) {
            if (!earliest || time < *earliest)
                earliest = time;
            if (!latest || time > *latest)
                latest = time;
            total += size;
            batch.push_back(PaneEntry::listedAt(std::move(file.name), dates.of(time), size, time));
            ++count;
        }
        if (batch.size() >= (c.subfolders == Subfolders::Included ? TreeBatchLines : FolderBatchLines))
            flush();
        repaintIfDue();
    };

    bool wholeRead = true;
    for (const QString &each : filterPatterns(c.txtSelect.Text())) {
        if (trap.aborted() || stopped)
            break;
        pattern = each;
        if (c.subfolders == Subfolders::Included) {
            wholeRead &= trap.run([&] {
                return c.fileSystem.walkTree(folderText, pattern, [&](std::vector<DirEntry> &found) {
                    for (DirEntry &file : found) {
                        if (trap.aborted() || stopped)
                            break;
                        take(file);
                    }
                    if (c.progress && !c.progress(count))
                        stopped = true;
                    return !trap.aborted() && !stopped;
                });
            });
            continue;
        }
        wholeRead &= trap.run([&] {
            return c.fileSystem.listFolder(folderText, pattern, [&](std::vector<DirEntry> &found) {
                for (DirEntry &file : found) {
                    if (trap.aborted())
                        break;
                    take(file);
                }
                if (found.empty()) // still reading names
                    repaintIfDue();
                return !trap.aborted();
            });
        });
    }
    flush();
    // A folder not read whole (it could not be read, or the listing was stopped or aborted):
    // its files are not known missing.
    if (!wholeRead || stopped || trap.aborted())
        pane.unread << QString();

    if (!trap.aborted()) {
        pane.txtStatus.setText((stopped ? QLatin1String("Listing stopped: ") : QLatin1String())
                               + listingStatus(count, total, earliest ? dateStampText(dates.of(*earliest)) : QString(),
                                               latest ? dateStampText(dates.of(*latest)) : QString()));
        const bool same = pane.txtStatus.Text().compare(c.otherStatus.Text(), Qt::CaseInsensitive) == 0;
        pane.txtStatus.setBackColor(same ? StatusEqual : StatusDiffer);
        c.otherStatus.setBackColor(same ? StatusEqual : StatusDiffer);
        pane.txtStatus.setForeColor(Qt::black);
        c.otherStatus.setForeColor(Qt::black);
        if (c.disableCommands)
            c.disableCommands();
        if (c.followStep)
            c.followStep(trap, folderText);
    }
    c.host.setMousePointer(MousePointer::Default);
    if (c.stopSynchronisedScrolling)
        c.stopSynchronisedScrolling();
}

} // namespace dyadix
