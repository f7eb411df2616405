#include "form/layout.h"

#include "formfixture.h"

#include <QTest>

using namespace dyadix;
using namespace dyadix::test;

Q_DECLARE_METATYPE(dyadix::Geometry)

class tst_Layout : public QObject
{
    Q_OBJECT

private slots:
    void designedClient_data();
    void designedClient();
    void wideClient();
    void tooSmallThenNormal();
    void splitterDrops_data();
    void splitterDrops();
    void dropPastTheBottom();

private:
    static ControlGeometry designed();
    static Geometry at(const ControlGeometry &g, ControlId id) { return g[size_t(id)]; }
};

ControlGeometry tst_Layout::designed()
{
    ControlGeometry g;
    for (const ControlSpec &spec : designedControls())
        g[size_t(spec.id)] = spec.designed;
    return g;
}

// A 7110 × 6165 client with the designed splitter gives the worked layout: panes 3532 wide
// with a 46 gap, drive lists 2722, the filter at 2767.5, splitter at 2480, file lists from
// 2520 and 3330 high, status boxes at 5850.
void tst_Layout::designedClient_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<Geometry>("expected");
    QTest::newRow("drvList(1)") << int(ControlId::drvList1) << Geometry {0, 0, 2722, 315};
    QTest::newRow("txtSelect") << int(ControlId::txtSelect) << Geometry {2767.5, 0, 1575, 315};
    QTest::newRow("drvList(2)") << int(ControlId::drvList2) << Geometry {4388, 0, 2722, 315};
    QTest::newRow("dirList(1)") << int(ControlId::dirList1) << Geometry {0, 360, 3532, 2115};
    QTest::newRow("dirList(2)") << int(ControlId::dirList2) << Geometry {3578, 360, 3532, 2115};
    QTest::newRow("lstFiles(1)") << int(ControlId::lstFiles1) << Geometry {0, 2520, 3532, 3330};
    QTest::newRow("lstFiles(2)") << int(ControlId::lstFiles2) << Geometry {3578, 2520, 3532, 3330};
    QTest::newRow("txtStatus(1)") << int(ControlId::txtStatus1) << Geometry {0, 5850, 3532, 315};
    QTest::newRow("txtStatus(2)") << int(ControlId::txtStatus2) << Geometry {3578, 5850, 3532, 315};
    QTest::newRow("picDragBar") << int(ControlId::picDragBar) << Geometry {0, 2480, 9915, 40};
}

void tst_Layout::designedClient()
{
    QFETCH(int, id);
    QFETCH(Geometry, expected);
    const ControlGeometry g = layOut(7110, 6165, designed());
    const Geometry actual = at(g, ControlId(id));
    QCOMPARE(actual.left, expected.left);
    QCOMPARE(actual.top, expected.top);
    QCOMPARE(actual.width, expected.width);
    QCOMPARE(actual.height, expected.height);
}

// A 9990-wide client: panes of 4972 (half to even) with a 46 gap; the splitter keeps its
// 9915 and stops 75 short of the right edge.
void tst_Layout::wideClient()
{
    const ControlGeometry g = layOut(9990, 6165, designed());
    QCOMPARE(at(g, ControlId::lstFiles1).width, 4972.0);
    QCOMPARE(at(g, ControlId::lstFiles2).left - at(g, ControlId::lstFiles1).width, 46.0);
    const Geometry bar = at(g, ControlId::picDragBar);
    QCOMPARE(9990 - (bar.left + bar.width), 75.0);
}

// A client too small refuses negative sizes but still moves controls; a later normal size
// gives the full layout back.
void tst_Layout::tooSmallThenNormal()
{
    const ControlGeometry normal = layOut(7110, 6165, designed());
    const ControlGeometry small = layOut(30, 100, normal);
    QCOMPARE(at(small, ControlId::lstFiles1).width, 3532.0);
    QCOMPARE(at(small, ControlId::lstFiles1).height, 3330.0);
    QCOMPARE(at(small, ControlId::drvList1).width, 2722.0);
    QCOMPARE(at(small, ControlId::lstFiles2).left, 30.0 - 3532.0);
    QCOMPARE(at(small, ControlId::txtStatus1).top, 100.0 - 315.0);
    QCOMPARE(at(small, ControlId::txtSelect).left, (30.0 - 1575.0) / 2);
    QCOMPARE(at(small, ControlId::drvList2).left, 30.0 - 2722.0);
    const ControlGeometry restored = layOut(7110, 6165, small);
    for (const ControlSpec &spec : designedControls())
        QCOMPARE(at(restored, spec.id), at(normal, spec.id));
}

// Dropping the splitter 600 twips into either folder list makes the folder lists 600 high;
// 300 twips into either file list makes them 300 higher.
void tst_Layout::splitterDrops_data()
{
    QTest::addColumn<bool>("onFolderList");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("height");
    QTest::newRow("left folder list") << true << 1 << 600.0 << 600.0;
    QTest::newRow("right folder list") << true << 2 << 600.0 << 600.0;
    QTest::newRow("above the top") << true << 1 << -600.0 << 600.0;
    QTest::newRow("left file list") << false << 1 << 300.0 << 2415.0;
    QTest::newRow("right file list") << false << 2 << 300.0 << 2415.0;
}

void tst_Layout::splitterDrops()
{
    QFETCH(bool, onFolderList);
    QFETCH(int, index);
    QFETCH(double, y);
    QFETCH(double, height);
    FormFixture f;
    f.form->clientResized(7110, 6165);
    if (onFolderList)
        f.form->dirList_DragDrop(index, ControlId::picDragBar, 100, y);
    else
        f.form->lstFiles_DragDrop(index, ControlId::picDragBar, 100, y);
    QCOMPARE(f.form->geometry(ControlId::dirList1).height, height);
    QCOMPARE(f.form->geometry(ControlId::dirList2).height, height);
    QCOMPARE(f.form->geometry(ControlId::picDragBar).top, 360 + height + 5);
    QCOMPARE(f.form->geometry(ControlId::lstFiles2).top, 360 + height + 45);
    QCOMPARE(f.form->geometry(ControlId::lstFiles1).height, 6165 - (360 + height + 45) - 315);
}

// A drop that would leave the file lists a negative height keeps their old height at the new
// top, reaching below the status boxes.
void tst_Layout::dropPastTheBottom()
{
    FormFixture f;
    f.form->clientResized(7110, 6165);
    f.form->dirList_DragDrop(1, ControlId::picDragBar, 0, 6000);
    QCOMPARE(f.form->geometry(ControlId::lstFiles1).top, 6405.0);
    QCOMPARE(f.form->geometry(ControlId::lstFiles1).height, 3330.0);
    QCOMPARE(f.form->geometry(ControlId::txtStatus1).top, 5850.0);
    f.form->dirList_DragDrop(2, ControlId::picDragBar, 0, 1000);
    QCOMPARE(f.form->geometry(ControlId::lstFiles1).height, 6165.0 - 1405 - 315);
}

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"
