#include "panes/drivelistmodel.h"
#include "core/conversions.h"

#include "fixture.h"

using namespace dyadix;
using namespace dyadix::test;

namespace {
const std::int64_t Early = localTime(2023, 3, 4, 5, 6, 7), Late = localTime(2024, 1, 5, 7, 3, 59);
} // namespace

// What the panes list: drives, folders and files under the filter, with status lines and ticks.
class tst_Listing : public FixtureTest
{
    Q_OBJECT

private slots:
    // Started in a folder that has been deleted, the program starts in the home folder.
    void startUpInAFolderGone()
    {
        QVERIFY(QDir().mkdir(t("/gone")) && QDir::setCurrent(t("/gone")) && QDir(t("/gone")).removeRecursively());
        f->form->Form_Load();
        QCOMPARE(f->form->pane(1).dirList.Path() + f->prompter.texts().join(""), QDir::homePath());
    }

    // The drives are the mounted volumes; one opens its current folder, one gone is put back, and an unreadable folder prompts.
    void drives()
    {
        QVERIFY(QDir().mkpath(t("/volume/inner")) && writeFile(t("/volume/on-volume.txt"), "x", Late));
        f->fs.addVolume(t("/volume/"), "Stick");
        f->fs.addVolume("/media/dyadix-pulled-out/", "dyadix-pulled-out");
        f->form->Form_Load();
        DriveListModel &drives = f->form->pane(2).drvList;
        drives.Refresh();
        for (int row = 0; row < drives.rowCount(); ++row) // no /proc, /sys or other system mounts
            QVERIFY(!QRegularExpression("^/(proc/|sys/|dev/|run/(?!media/))").match(drives.index(row).data(DriveListModel::RootRole).toString()).hasMatch());
        auto rowOf = [&](const QString &root) {
            for (int row = 0; row < drives.rowCount(); ++row) {
                if (drives.index(row).data(DriveListModel::RootRole).toString() == root)
                    return row;
            }
            return -1;
        };
        auto choose = [&](const QString &root) { return drives.chooseRow(rowOf(root)), f->form->pane(2).dirList.Path(); };
        auto shown = [&](const QString &root) { return drives.index(rowOf(root)).data().toString(); };
        // A drive shows its label after its root, where the root does not already end in it.
        QCOMPARE(shown(t("/volume/")) + '|' + shown("/media/dyadix-pulled-out/"), t("/volume/") + " [Stick]|/media/dyadix-pulled-out/");
        const QString home = drives.Drive();
        QCOMPARE(choose(t("/volume/")), t("/volume"));
        QCOMPARE(f->lines(2), QStringList {"on-volume.txt\t2024/01/05 07:03\t       1"});
        QVERIFY(f->show(2, t("/volume/inner")));
        QCOMPARE(choose(home), f->dir.path());
        QCOMPARE(choose(t("/volume/")), t("/volume/inner"));
        QCOMPARE(choose("/media/dyadix-pulled-out/"), t("/volume/inner"));
        drives.chooseRow(drives.rowCount()); // past the last row: nothing
        QCOMPARE(drives.Drive(), t("/volume/"));
        const QString status = f->status(2);
        f->form->mnuFileRefresh.trigger();
        QCOMPARE(f->status(2) + ' ' + QString::number(f->lines(2).size()), status + " 0");
        f->fs.failOn(FsOperation::Enumerate, ErrorNumber::PermissionDenied, 1, "/L/");
        f->prompter.answer(MsgAnswer::Abort);
        QVERIFY(f->show(1, t("/L")) && QDir(t("/volume")).removeRecursively());
        f->prompter.answer(MsgAnswer::Ignore);
        f->form->dirList_Change(2);
        QCOMPARE(f->prompter.texts().join("|"), QStringLiteral("Permission denied|Path not found"));
        QCOMPARE(f->status(1) + '|' + f->status(2), QStringLiteral("0 files.|0 files."));
    }

    // A listing shows the files under each pattern of the filter (none is "*.*") in name order, with
    // lines and totals beyond 32 bits; a file that vanishes meanwhile prompts: Abort, Retry or Ignore.
    void listing_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("answer"); // to the prompt for b.TXT vanishing, or 0
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("status"); // %c: the big file's date
        const QString all = "4 files, 3221225596 bytes, 2023/03/04 05:06 to %c";
        QTest::newRow("listed") << "" << 0 << ".hidden A.txt b.TXT c.img" << all;
        QTest::newRow("vanished, abort") << "*.*" << int(MsgAnswer::Abort) << ".hidden A.txt" << "Left";
        QTest::newRow("vanished, retry") << "*.*" << int(MsgAnswer::Retry) << ".hidden A.txt b.TXT c.img" << all;
        QTest::newRow("vanished, ignore") << "*.*" << int(MsgAnswer::Ignore) << ".hidden A.txt c.img" << "3 files, 3221225473 bytes, 2023/03/04 05:06 to %c";
        QTest::newRow("two kinds") << "*.txt, *.img" << 0 << "A.txt b.TXT c.img" << "3 files, 3221225595 bytes, 2023/03/04 05:06 to %c";
        QTest::newRow("trailing comma") << "*.txt," << 0 << "A.txt b.TXT" << "2 files, 123 bytes, 2023/03/04 05:06 to 2024/01/05 07:03";
        QTest::newRow("listed twice") << "*.*,*.TXT" << 0 << ".hidden A.txt A.txt b.TXT b.TXT c.img" << "6 files, 3221225719 bytes, 2023/03/04 05:06 to %c";
        QTest::newRow("question mark") << "?.*" << 0 << "A.txt b.TXT c.img" << "3 files, 3221225595 bytes, 2023/03/04 05:06 to %c";
        QTest::newRow("leading comma") << ",*.img" << 0 << "c.img" << "1 files, 3221225472 bytes, %c to %c";
    }
    void listing()
    {
        QFETCH(QString, filter);
        QFETCH(int, answer);
        QFETCH(QString, names);
        QFETCH(QString, status);
        QVERIFY(writeFile(t("/L/b.TXT"), QByteArray(123, 'b'), Late));
        QVERIFY(writeFile(t("/L/A.txt"), QByteArray(), Early) && writeFile(t("/L/.hidden"), "h", Early));
        const int fd = ::open(encodeUtf8Name(t("/L/c.img")).constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0 && ::ftruncate(fd, off_t(3) << 30) == 0 && ::close(fd) == 0);
        QVERIFY(QDir(t("/L")).mkdir("sub.txt"));
        const QString cDate = formatDateText(modifiedOf(t("/L/c.img")));
        if (answer) {
            f->fs.failOn(FsOperation::EntryStat, ErrorNumber::FileNotFound, 1, "/b.TXT");
            f->prompter.answer(MsgAnswer(answer));
        }
        f->form->txtSelect.setText(filter);
        f->form->mnuOptionSynch.setChecked(true);
        f->form->mnuCopy(1)->setEnabled(true);
        QVERIFY(f->show(1, t("/L")));
        QCOMPARE(f->form->txtSelect.Text(), filter.isEmpty() ? "*.*" : filter);
        QCOMPARE(f->prompter.lines(), answer ? QStringList {"Error in Sub dirList_Change (Abort Retry Ignore, Question): File not found on " + t("/L/b.TXT")} : QStringList());
        QCOMPARE(f->summary(1) + '|' + f->status(1), names + '|' + QString(status).replace("%c", cDate));
        if (filter.isEmpty())
            QCOMPARE(f->lines(1), (QStringList {".hidden\t2023/03/04 05:06\t       1", "A.txt\t2023/03/04 05:06\t       0",
                                                "b.TXT\t2024/01/05 07:03\t     123", "c.img\t" + cDate + "\t3221225472"}));
        QCOMPARE(f->host.calls, (QStringList {"pointer 11", "pointer 0"}));
        QCOMPARE(f->enabled(1), answer == int(MsgAnswer::Abort) ? "111" : "000"); // Abort leaves them as they were
        QVERIFY(!f->form->mnuOptionSynch.isChecked());
        f->form->SkipListing = true;
        QVERIFY(f->show(2, t("/L")));
        QCOMPARE(f->lines(2).size() + f->host.calls.size(), 2);
        QCOMPARE(f->status(2), QStringLiteral("Right"));
    }

    // With synchronised scrolling on, one list's scroll moves the other where it can, back to the top too.
    void mirroredScrolling()
    {
        for (int i = 0; i < 30; ++i)
            QVERIFY(writeFile(t("/L/f%1").arg(i, 2, 10, QChar('0')), "x", Late));
        f->form->txtSelect.setText("f0*");
        QVERIFY(f->show(1, t("/L")));
        f->form->txtSelect.setText("*.*");
        QVERIFY(f->show(2, t("/L")));
        f->list(2).scrollPosition().viewScrolled(4);
        QCOMPARE(f->list(1).TopIndex(), 0);
        f->form->mnuOptionSynch.trigger();
        f->list(2).scrollPosition().viewScrolled(5);
        QCOMPARE(f->list(1).TopIndex(), 5);
        f->list(2).scrollPosition().viewScrolled(20);
        QCOMPARE(f->list(1).TopIndex(), 5);
        f->list(2).scrollPosition().viewScrolled(0); // back at the top
        QCOMPARE(f->list(1).TopIndex(), 0);
    }
};

QTEST_MAIN(tst_Listing)
#include "tst_listing.moc"
