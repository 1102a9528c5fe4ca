// Boxes that take typed text: a search that waits for the typing to pause, and project names
// found by a part of them.
#include <QLineEdit>
#include <QtTest>

#include "ui/shared/ProjectNames.h"
#include "ui/shared/TypingPause.h"
#include "ui/shared/tests/UiTestEnvironment.h"

class SearchTypingTests : public QObject {
    Q_OBJECT
private slots:
    void aSearchRunsOnceTheKeysPauseOrAtOnceOnEnter() {
        QLineEdit box;
        QStringList searched;
        CTypingPause typing(box, [&] { searched << box.text(); });
        QTest::keyClicks(&box, QStringLiteral("report"));
        QVERIFY(searched.isEmpty());
        QVERIFY(typing.IsPending());
        QTRY_COMPARE(searched, QStringList{"report"});   // one run for six keys
        QVERIFY(!typing.IsPending());

        QTest::keyClicks(&box, QStringLiteral(" draft"));
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(searched.size(), 2);
        QCOMPARE(searched.last(), QStringLiteral("report draft"));
        QVERIFY(!typing.IsPending());   // Enter took the waiting run's place

        // An emptied box shows everything again at once.
        box.clear();
        QCOMPARE(searched.size(), 3);
        QVERIFY(searched.last().isEmpty());

        // A box cleared on purpose forgets the keys before it.
        QTest::keyClick(&box, Qt::Key_A);
        typing.Cancel();
        QVERIFY(!typing.IsPending());

        typing.SetPause(0);
        QTest::keyClicks(&box, QStringLiteral("bc"));
        QCOMPARE(searched.size(), 5);
    }

    void aProjectIsFoundByItsWholeNameOrByAPartOnlyItHolds() {
        CProjectNames names;
        names.Add(QStringLiteral("Zürich Bank: Web"), u"A");
        names.Add(QStringLiteral("Zürich Bank: Web shop"), u"B");
        names.Add(QStringLiteral("Acme: Audit"), u"C");
        names.Add(QStringLiteral("Acme: Audit"), u"D");   // the same name is not offered twice
        QCOMPARE(names.Names().size(), 3);
        QCOMPARE(names.Find(QStringLiteral("zurich bank: web")), CString(u"A"));   // whole, though in B too
        QCOMPARE(names.Find(QStringLiteral("  SHOP ")), CString(u"B"));
        QCOMPARE(names.Find(QStringLiteral("audit")), CString(u"C"));
        QVERIFY(names.Find(QStringLiteral("zurich")).IsEmpty());   // two hold it
        QVERIFY(names.Find(QStringLiteral("nothing")).IsEmpty());
        QVERIFY(names.Find(QString()).IsEmpty());

        CFoldingCompleter offer(names.Names(), nullptr);
        offer.setCompletionPrefix(QStringLiteral("ZURICH"));
        QCOMPARE(offer.completionCount(), 2);
        offer.setCompletionPrefix(QStringLiteral("bank: web s"));
        QCOMPARE(offer.completionCount(), 1);
        QCOMPARE(offer.pathFromIndex(offer.currentIndex()), QStringLiteral("Zürich Bank: Web shop"));
    }
};

UI_TEST_MAIN(SearchTypingTests)
#include "SearchTypingTests.moc"
