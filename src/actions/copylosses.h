#pragma once

// What the copies of one command could not keep, told once at its end.

#include "core/prompter.h"

#include <QStringList>

namespace dyadix {

// What the copies of one command could not keep: times, attributes, sources changed meanwhile.
struct Losses
{
    int times = 0;                  // files whose time the drive did not keep
    int attributes[3] = {0, 0, 0};  // files that lost user attributes, labels, access lists
    int changed = 0;                // moved files kept in place: they changed after their copy

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
        if (changed > 0)
            prompter.MsgBox((changed == 1 ? QStringLiteral("1 file was") : QString::number(changed) + QStringLiteral(" files were"))
                                + QStringLiteral(" saved again after the copy to\n") + targetFolder
                                + QStringLiteral("\nwas made: kept in place, still ticked, to be moved again."),
                            MsgStyle::OkOnly + MsgStyle::Exclamation, QStringLiteral("Files Changed"));
        if (!lost.isEmpty())
            prompter.MsgBox(QStringLiteral("The drive does not hold all the files' extended attributes. Of the files ")
                                + (move ? QStringLiteral("moved to\n") : QStringLiteral("copied to\n")) + targetFolder
                                + QStringLiteral("\n") + lost.join(QStringLiteral(",\n")) + QLatin1Char('.'),
                            MsgStyle::OkOnly + MsgStyle::Exclamation, QStringLiteral("Attributes Not Kept"));
    }
};

} // namespace dyadix
