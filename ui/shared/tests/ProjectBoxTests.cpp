// The entry editor's project box: typing part of a client's or project's name chooses it.
#include <QCompleter>
#include <QLineEdit>
#include <QtTest>

#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/dialogs/DlgTimeDetails.h"
#include "ui/shared/tests/UiTestEnvironment.h"
#include "ui/shared/tests/UiTestSupport.h"

namespace {

class TimePage : public CDlgTimeDetails {
public:
    TimePage() { CreateControls(); }
};

}   // namespace

class ProjectBoxTests : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ResetUserData();
        QCOMPARE(GetCurrDataHelper()->Initialize(), 1);
    }

    void typingPartOfANameChoosesTheOneProjectHoldingIt() {
        const CString bank = RefIdOf(AddClient(u"Zürich Bank"), u"client");
        const CString website = RefIdOf(AddProject(u"Website", bank), u"project");
        const CString audit = RefIdOf(AddProject(u"Audit", bank), u"project");
        TimePage page;
        page.m_strProjectRef = audit;
        QLineEdit* box = page.ProjectText();
        QVERIFY(!box->isReadOnly());
        QVERIFY(box->completer());
        QCOMPARE(box->completer()->filterMode(), Qt::MatchContains);
        // The names offered while typing follow the same rule, and the one taken is shown whole.
        box->completer()->setCompletionPrefix(QStringLiteral("ZURICH BANK: w"));
        QCOMPARE(box->completer()->completionCount(), 1);
        QCOMPARE(box->completer()->pathFromIndex(box->completer()->currentIndex()),
                 qtconv::ToQString(FormatProjectName(website)));

        box->setText(QStringLiteral("zurich bank: WEB"));   // case and accents aside
        QVERIFY(page.TakeTypedProject());
        QCOMPARE(page.m_strProjectRef, website);
        QCOMPARE(box->text(), qtconv::ToQString(FormatProjectName(website)));

        // Two projects hold "bank": the choice stays, and the box shows it again.
        box->setText(QStringLiteral("bank"));
        QVERIFY(!page.TakeTypedProject());
        QCOMPARE(page.m_strProjectRef, website);
        QCOMPARE(box->text(), qtconv::ToQString(FormatProjectName(website)));

        box->setText(QStringLiteral("no such project"));
        QVERIFY(!page.TakeTypedProject());
        QCOMPARE(page.m_strProjectRef, website);

        box->setText(qtconv::ToQString(FormatProjectName(audit)));
        QVERIFY(page.TakeTypedProject());
        QCOMPARE(page.m_strProjectRef, audit);
    }
};

UI_TEST_MAIN(ProjectBoxTests)
#include "ProjectBoxTests.moc"
