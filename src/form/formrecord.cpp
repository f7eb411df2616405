#include "formmodel.h"

// The record of the last time the two folders were in step, as Match and the copies read and
// write it.

#include "core/wildcard.h"
#include "panes/parsing.h"

#include <QDateTime>

#include <algorithm>

namespace dyadix {

namespace {

const QString RecordTitle = QStringLiteral("Detect Deletions");
// Fewer names than this on a side that is now empty may well have been deleted by hand.
constexpr std::size_t EmptySideAsks = 10;

} // namespace

std::optional<SyncRecord> FormModel::readRecord()
{
    const QString left = pane(1).dirList.Path(), right = pane(2).dirList.Path();
    const bool subfolders = mnuOptionSubfolders.isChecked();
    const QString name = SyncRecord::fileName(left, right, subfolders);
    const Result<QByteArray> kept = m_settings.readKept(SettingsApp, name);
    if (!kept && kept.error().number == int(ErrorNumber::FileNotFound))
        return SyncRecord(left, right, subfolders);
    if (kept) {
        if (std::optional<SyncRecord> record = SyncRecord::decode(*kept, left, right, subfolders))
            return record;
    }
    // Unreadable: set aside whole where it was damaged, and Match goes on as without the option.
    QString told = QStringLiteral("The record of the last Match of these folders could not be read");
    if (!kept) {
        told += QStringLiteral(": ") + kept.error().description + QStringLiteral(".");
    } else if (const Result<QString> aside = m_settings.setKeptAside(SettingsApp, name)) {
        told += QStringLiteral(". It is kept as\n") + *aside + QStringLiteral("\nand a new one is begun.");
        m_prompter.MsgBox(told + QStringLiteral("\n\nThis Match does not look for deleted files."), MsgStyle::OkOnly + MsgStyle::Exclamation, RecordTitle);
        return SyncRecord(left, right, subfolders); // finds nothing: Match as without the option
    } else {
        told += QStringLiteral(", nor set aside: ") + aside.error().description + QStringLiteral(".");
    }
    m_prompter.MsgBox(told + QStringLiteral("\n\nThis Match does not look for deleted files."), MsgStyle::OkOnly + MsgStyle::Exclamation, RecordTitle);
    return std::nullopt;
}

std::optional<bool> FormModel::recordTrusted(const SyncRecord &record)
{
    if (record.size() < EmptySideAsks)
        return true;
    for (int i : {1, 2}) {
        if (pane(i).lstFiles.ListCount() > 0)
            continue;
        const QString question = (i == 1 ? QStringLiteral("The Left folder") : QStringLiteral("The Right folder"))
            + QStringLiteral(" holds no files; at the last Match on ") + dateStampText(record.written()) + QStringLiteral(" it held ")
            + QString::number(record.size()) + QStringLiteral(". Is its drive connected?");
        if (m_prompter.MsgBox(question, MsgStyle::YesNo + MsgStyle::Question + MsgStyle::DefaultButton2, RecordTitle) != MsgAnswer::Yes)
            return std::nullopt;
        return false;
    }
    return true;
}

Status FormModel::writeRecord(const SyncRecord &record)
{
    return m_settings.writeKept(SettingsApp, SyncRecord::fileName(pane(1).dirList.Path(), pane(2).dirList.Path(), mnuOptionSubfolders.isChecked()),
                                record.encode());
}

std::function<bool(NameView)> FormModel::listableNames() const
{
    // The filter and the places not read, taken once for every name asked about.
    QStringList unread;
    for (const std::unique_ptr<Pane> &side : m_panes) {
        for (const QString &place : side->unread)
            unread << place.toCaseFolded();
    }
    return [patterns = filterPatterns(txtSelect.Text()), unread](NameView name) {
        const QString path = name.toString();
        const QString file = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        if (std::none_of(patterns.begin(), patterns.end(), [&](const QString &pattern) { return matchesWildcard(file, pattern); }))
            return false;
        const QString folded = path.toCaseFolded();
        return std::none_of(unread.begin(), unread.end(), [&](const QString &place) {
            return place.isEmpty() || folded == place || (place.endsWith(QLatin1Char('/')) && folded.startsWith(place));
        });
    };
}

} // namespace dyadix
