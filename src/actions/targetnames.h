#pragma once

// The name a copy writes to: the one the target folder already has for the file.

#include "panes/filelistmodel.h"

#include <QHash>
#include <QSet>
#include <QString>

namespace dyadix {

// The names the target folder already has (its list's listed lines), by the form in which
// Match pairs them: composed (one name may come in two Unicode forms), and without case where
// Match paired without it. A copy writes onto the name that is there: never a second file
// beside it that the next Match would pair again.
class TargetNames
{
public:
    TargetNames(const FileListModel &target, bool foldsCase);
    // The target's own name for a source name: the same name where the target has it, else
    // the name it has in another form, else the source name.
    QString nameFor(const QString &sourceName) const;

private:
    QString key(const QString &name) const;

    bool m_foldsCase;
    QSet<QString> m_exact;
    QHash<QString, QString> m_byForm;
};

} // namespace dyadix
