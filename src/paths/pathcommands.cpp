#include "pathcommands.h"

#include "panes/parsing.h"
#include "core/conversions.h"
#include "core/errortrap.h"

namespace dyadix {

namespace {

const QString Bar = QStringLiteral("|");

QString capitalised(const QString &path)
{
    if (path.isEmpty())
        return path;
    return path.left(1).toUpper() + path.mid(1);
}

struct PathSet
{
    QString left;
    QString wildcards;
    QString right;
};

PathSet splitPathSet(QString text)
{
    PathSet set;
    set.left = Parse(text, Bar);
    set.wildcards = Parse(text, Bar);
    set.right = Parse(text, Bar);
    return set;
}

} // namespace

void AddPathToList(RecallSlots &recall, QString &Path1, const QString &WCard, QString &Path2)
{
    Path1 = capitalised(Path1);
    Path2 = capitalised(Path2);
    const QString entry = Path1 + Bar + WCard + Bar + Path2;
    int found = RecallSlots::Count - 1;
    for (int k = 0; k < RecallSlots::Count - 1; ++k) {
        if (recall.entry(k).compare(entry, Qt::CaseInsensitive) == 0) {
            found = k;
            break;
        }
    }
    if (found == 0)
        return;
    for (int k = found; k >= 1; --k) {
        recall.setCaption(k, QLatin1Char('&') + QString::number(k) + recall.caption(k - 1).mid(2));
        recall.setVisible(k, recall.visible(k - 1));
    }
    recall.setCaption(0, RecallSlots::captionFor(0, entry));
    recall.setVisible(0, true);
}

void recallPathSet(PathContext &c, int Index)
{
    ErrorTrap trap(c.prompter, QStringLiteral("Error!"));
    const PathSet set = splitPathSet(c.recall.entry(Index));
    if (!set.wildcards.isEmpty())
        c.txtSelect.setText(set.wildcards);
    if (!set.left.isEmpty()) {
        trap.run([&] { return c.left.drvList.setDrive(set.left); });
        trap.run([&] { return c.left.dirList.setPath(set.left); });
    }
    if (!set.right.isEmpty()) {
        trap.run([&] { return c.right.drvList.setDrive(set.right); });
        trap.run([&] { return c.right.dirList.setPath(set.right); });
    }
}

void addCurrentPaths(PathContext &c)
{
    QString left = c.left.dirList.Path();
    QString right = c.right.dirList.Path();
    AddPathToList(c.recall, left, trimBlanks(c.txtSelect.Text()), right);
}

void editPathSet(PathContext &c)
{
    const QString answer = c.prompter.InputBox(
        QStringLiteral("Edit which path (0-9) from the list?\n"
                       "To enter a new one, type or paste it here:\n"
                       "(Ctrl+V or Right-Click to Paste)\n"
                       "e.g. C:\\Program Files\\Stuff|*.*|F:\\Program Files\\Stuff"),
        QStringLiteral("Edit Path"), QStringLiteral("0"));
    if (answer.isEmpty())
        return;
    const QString trimmed = trimBlanks(answer);
    if (trimmed.isEmpty() || !trimmed.front().isDigit() || trimmed.front().unicode() > 127) {
        PathSet set = splitPathSet(answer);
        AddPathToList(c.recall, set.left, set.wildcards, set.right);
        return;
    }
    ErrorTrap trap(c.prompter, QStringLiteral("Error!"));
    std::int32_t n = 0;
    trap.assign<std::int32_t>(n, [&] { return toInteger32(Val(answer)); });
    if (trap.aborted() || n < 0 || n > 9 || !c.recall.visible(n))
        return;
    const QString edited = c.prompter.InputBox(QStringLiteral("Please Edit Path ") + QString::number(n)
                                                   + QStringLiteral(":\n(Ctrl+V or Right-Click to Paste)"),
                                               QStringLiteral("Edit Path"), c.recall.entry(n));
    const QString trimmedEdit = trimBlanks(edited);
    if (trimmedEdit.isEmpty())
        return;
    const PathSet set = splitPathSet(trimmedEdit);
    c.recall.setCaption(n, RecallSlots::captionFor(n, set.left + Bar + set.wildcards + Bar + set.right));
}

void removePathSet(PathContext &c)
{
    const QString answer = c.prompter.InputBox(QStringLiteral("Remove which path (0-9) from the list?"),
                                               QStringLiteral("Remove Path"), QString());
    if (answer.isEmpty())
        return;
    ErrorTrap trap(c.prompter, QStringLiteral("Error!"));
    std::int16_t n = 0;
    trap.assign<std::int16_t>(n, [&] { return toInteger16(Val(answer)); });
    if (trap.aborted() || n < 0 || n > 9 || !c.recall.visible(n))
        return;
    for (int k = n; k <= 8; ++k) {
        c.recall.setCaption(k, QLatin1Char('&') + QString::number(k) + c.recall.caption(k + 1).mid(2));
        c.recall.setVisible(k, c.recall.visible(k + 1));
    }
    c.recall.setCaption(9, QString());
    c.recall.setVisible(9, false);
}

} // namespace dyadix
