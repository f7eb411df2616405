#include "formmodel.h"

// The window's commands: Match, copy, move and delete, the path list, folder synchronising,
// the export and help.

#include "actions/fileactions.h"
#include "export/tabexport.h"
#include "help/helptexts.h"
#include "match/contentmatch.h"
#include "match/deletions.h"
#include "match/match.h"
#include "panes/foldersync.h"
#include "paths/pathcommands.h"

#include <QDateTime>
#include <QDir>

namespace dyadix {

void FormModel::mnuMatch_Click()
{
    listBothPanes();
    std::optional<SyncRecord> record = mnuOptionDeletions.isChecked() ? readRecord() : std::nullopt;
    if (record) {
        const std::optional<bool> trusted = recordTrusted(*record);
        if (!trusted)
            return; // the user ends Match: nothing is ticked
        if (!*trusted)
            record.reset();
    }
    const NameRule names = nameRuleOf(m_fileSystem, pane(1).dirList.Path(), pane(2).dirList.Path());
    ErrorTrap trap(m_prompter, QStringLiteral("Error!"));
    trap.run([&]() -> Status {
        matchLists(pane(1).lstFiles, pane(2).lstFiles,
                   mnuOptionNewer.isChecked() ? MarkNewer::On : MarkNewer::Off, Merging::OneByOne,
                   Unread {pane(1).unread, pane(2).unread}, names);
        if (record)
            applyRecord(pane(1).lstFiles, pane(2).lstFiles, *record, names);
        return {};
    });
    if (!trap.aborted() && mnuOptionContents.isChecked()) {
        m_comparing = true;
        const ContentCounts counts = untickSameContents(
            pane(1).lstFiles, pane(2).lstFiles,
            ContentCheck {m_fileSystem, m_work, trap, withSeparator(pane(1).dirList.Path()), withSeparator(pane(2).dirList.Path())});
        m_comparing = false;
        // The pairs left unread keep the ticks their times gave them; the statuses say how many.
        if (counts.notCompared > 0) {
            const QString unread = counts.notCompared == 1 ? QStringLiteral(" 1 pair not compared.")
                                                           : QStringLiteral(" %1 pairs not compared.").arg(counts.notCompared);
            for (int i : {1, 2})
                pane(i).txtStatus.setText(pane(i).txtStatus.Text() + unread);
        }
    }
    // The names in step now are the record that the next Match reads.
    if (record && !trap.aborted()) {
        const DateStamp now = dateStampOf(QDateTime::currentSecsSinceEpoch());
        trap.run([&] {
            return writeRecord(recordAfterMatch(pane(1).lstFiles, pane(2).lstFiles, *record, names, now, listableNames()));
        });
    }
    if (!trap.aborted())
        mnuOptionSynch.setChecked(true);
}


void FormModel::mnuCopy_Click(int Index)
{
    // Copy!>, <Copy!, >Move!>, <Move!<. The files each brings in step join the record, so
    // that a later Match knows them (a file moved away is not brought back).
    ActionContext context = actionContext();
    std::vector<PaneEntry> inStep;
    if (mnuOptionDeletions.isChecked())
        context.broughtInStep = [&inStep](const PaneEntry &entry) { inStep.push_back(entry); };
    copyTicked(context, Index % 2 == 1 ? Direction::LeftToRight : Direction::RightToLeft,
               Index <= 2 ? Transfer::Copy : Transfer::Move);
    if (inStep.empty())
        return;
    std::optional<SyncRecord> record = readRecord();
    if (!record)
        return;
    const DateStamp now = dateStampOf(QDateTime::currentSecsSinceEpoch());
    const bool foldCase = nameRuleOf(m_fileSystem, pane(1).dirList.Path(), pane(2).dirList.Path()) == NameRule::IgnoreCase;
    for (const PaneEntry &entry : inStep)
        record->set(entry.name, {entry.date, entry.size, now}, foldCase);
    record->setWritten(now);
    ErrorTrap(m_prompter, QStringLiteral("Error!")).run([&] { return writeRecord(*record); });
}

void FormModel::mnuDel_Click(int Index)
{
    deleteTicked(actionContext(), Index);
}

void FormModel::stopWork()
{
    if (!m_work.working() || m_work.stopRequested())
        return;
    // Reading changes nothing: a comparison stops at once. A listing keeps what it has found,
    // and a copy, move or delete ends its file first.
    const QString question = m_comparing
        ? QStringLiteral("Stop comparing here?\n\nThe pairs not yet compared keep the ticks their times gave them.")
        : m_listing ? QStringLiteral("Stop the listing here?\n\nThe files listed so far stay in the list.")
                    : QStringLiteral("Stop after this file?\n\nThe files not yet done stay ticked.");
    if (m_prompter.MsgBox(question, MsgStyle::YesNo + MsgStyle::Question, QStringLiteral("Stop")) != MsgAnswer::Yes)
        return;
    if (m_comparing)
        m_work.stopNow();
    else
        m_work.stopAfterThisFile();
}

ActionContext FormModel::actionContext()
{
    return ActionContext {m_fileSystem, m_prompter, pane(1), pane(2), mnuOptionAction,
                          mnuOptionNewer, mnuOptionWarn1, mnuOptionTrash,
                          [this](const QString &caption) { setCaption(caption); }, m_work};
}

PathContext FormModel::pathContext()
{
    return PathContext {m_prompter, *m_recall, pane(1), pane(2), txtSelect};
}

void FormModel::mnuFile_Click()
{
    mnuFileRemove.setEnabled(m_recall->visible(0));
}

void FormModel::mnuFileLast_Click(int Index)
{
    PathContext context = pathContext();
    recallPathSet(context, Index);
}

void FormModel::mnuFileAdd_Click()
{
    PathContext context = pathContext();
    addCurrentPaths(context);
}

void FormModel::mnuFileEdit_Click()
{
    PathContext context = pathContext();
    editPathSet(context);
}

void FormModel::mnuFileRemove_Click()
{
    PathContext context = pathContext();
    removePathSet(context);
}


FolderSyncContext FormModel::folderSyncContext()
{
    return FolderSyncContext {m_prompter, mnuOptionSyncFoldr, pane(1), pane(2),
                              LeftRoot, RightRoot};
}

void FormModel::mnuOptionSyncFoldr_Click()
{
    FolderSyncContext context = folderSyncContext();
    switchFolderSync(context);
}

void FormModel::mnuFileExport_Click()
{
    ExportContext context {m_fileSystem, m_prompter, m_settings, SettingsApp, SettingsSection,
                           pane(1), pane(2), QDir::homePath() + QStringLiteral("/MatchFile.txt"),
                           [this](MousePointer pointer) { m_host.setMousePointer(pointer); }};
    exportToFile(context);
}

void FormModel::mnuFileBatch_Click()
{
    m_prompter.MsgBox(QStringLiteral("This option is not yet available!"), MsgStyle::Exclamation,
                      QStringLiteral("Sorry!"));
}

void FormModel::mnuHelpHowTo_Click()
{
    m_prompter.MsgBox(instructionsText(), MsgStyle::Information, QStringLiteral("How to use Dyadix"));
}

void FormModel::mnuHelpAbout_Click()
{
    const MsgAnswer answer = m_prompter.MsgBox(aboutText(m_caption, m_program),
                                               MsgStyle::YesNo + MsgStyle::Information,
                                               QStringLiteral("About Dyadix"));
    if (answer != MsgAnswer::Yes)
        return;
    const Result<int> result = m_shell.openWebAddress(makerWebAddress());
    if (!result) {
        m_prompter.MsgBox(QStringLiteral("Error ") + QString::number(result.error().number) + QStringLiteral(": ")
                              + result.error().description + QStringLiteral("\nCould not start your browser."),
                          MsgStyle::Information, ProgramName);
        return;
    }
    if (*result <= 32)
        ReportShellError(*result);
}

void FormModel::ReportShellError(const int &code)
{
    m_prompter.MsgBox(shellErrorMessage(code), MsgStyle::Information,
                      QStringLiteral("Error starting web browser"));
}

} // namespace dyadix
