#include "targetnames.h"

#include <algorithm>

namespace dyadix {

namespace {

bool isAscii(const QString &name)
{
    return std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

TargetNames::TargetNames(const FileListModel &target, bool foldsCase)
    : m_foldsCase(foldsCase)
{
    // Only names that another form could stand for are kept: all where case does not count,
    // else those beyond ASCII.
    for (int i = 0; i < target.ListCount(); ++i) {
        if (target.placeholderAt(i))
            continue;
        const QString name = target.nameAt(i).toString();
        if (m_foldsCase || !isAscii(name)) {
            m_exact.insert(name);
            m_byForm.insert(key(name), name);
        }
    }
}

QString TargetNames::nameFor(const QString &sourceName) const
{
    if (m_byForm.isEmpty() || (!m_foldsCase && isAscii(sourceName)) || m_exact.contains(sourceName))
        return sourceName;
    return m_byForm.value(key(sourceName), sourceName);
}

QString TargetNames::key(const QString &name) const
{
    const QString composed = name.normalized(QString::NormalizationForm_C);
    return m_foldsCase ? composed.toCaseFolded() : composed;
}

} // namespace dyadix
