// The bar layout kept under "ProfUIS222", restored at the next start, and Reset Layout.
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QtTest>

#include "desktop/CommandIds.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "platform/Registry.h"

using namespace testsupport;

class LayoutTests : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetUserData(); }

    void layoutIsSavedAtCloseAndRestored() {
        auto app = StartProgram();
        QVERIFY(app);
        QVERIFY(!Registry::KeyExists(CQuillmarApp::kLayoutKey));
        Trigger(*app->GetMainFrame(), cmd::ViewQuickSummary);
        Trigger(*app->GetMainFrame(), cmd::ViewCustomViewsToolbar);
        app->GetMainFrame()->resize(777, 555);
        StopProgram(app);
        QVERIFY(Registry::QueryBinary(CQuillmarApp::kLayoutKey, u"BarState"));
        QVERIFY(Registry::QueryBinary(CQuillmarApp::kLayoutKey, u"WindowPlacement"));

        app = StartProgram();
        QVERIFY(app);
        CMainFrame& frame = *app->GetMainFrame();
        QVERIFY(!frame.GetQuickSummaryBar()->isVisible());
        QVERIFY(!frame.GetCustomViewsToolBar()->isVisible());
        QVERIFY(frame.GetClientsProjectsBar()->isVisible());
        QCOMPARE(frame.size(), QSize(777, 555));
        QVERIFY(!IsChecked(frame, cmd::ViewQuickSummary));
        StopProgram(app);
    }

    void resetLayoutCancelledChangesNothing() {
        auto app = StartProgram();
        QVERIFY(app);
        StopProgram(app);
        app = StartProgram();
        MessageBoxScript boxes({IDCANCEL});
        Trigger(*app->GetMainFrame(), cmd::ResetLayout);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(app->GetMainFrame()->isVisible());
        QVERIFY(Registry::KeyExists(CQuillmarApp::kLayoutKey));
        StopProgram(app);
    }

    void resetLayoutDeletesItAndSavesNothingAtTheClose() {
        auto app = StartProgram();
        QVERIFY(app);
        Trigger(*app->GetMainFrame(), cmd::ViewQuickSummary);
        StopProgram(app);
        QVERIFY(Registry::KeyExists(CQuillmarApp::kLayoutKey));

        app = StartProgram();
        QVERIFY(!app->GetMainFrame()->GetQuickSummaryBar()->isVisible());
        MessageBoxScript boxes({IDOK, IDOK});
        Trigger(*app->GetMainFrame(), cmd::ResetLayout);
        QCOMPARE(boxes.Shown().size(), size_t(2));
        QCOMPARE(boxes.Shown()[0].flags, unsigned(MB_OKCANCEL | MB_ICONQUESTION));
        QVERIFY(boxes.Shown()[0].text.Find(u"This will reset the Quillmar user-interface") == 0);
        QVERIFY(boxes.Shown()[1].text == CString(u"Quillmar needs to be restarted now to use the new settings."));
        QCOMPARE(boxes.Shown()[1].flags & MB_ICONMASK, unsigned(MB_ICONINFORMATION));
        QVERIFY(!app->GetMainFrame()->isVisible());   // the window closed
        StopProgram(app);
        QVERIFY(!Registry::KeyExists(CQuillmarApp::kLayoutKey));

        app = StartProgram();
        CMainFrame& frame = *app->GetMainFrame();
        QVERIFY(frame.GetQuickSummaryBar()->isVisible());
        QCOMPARE(frame.dockWidgetArea(frame.GetQuickSummaryBar()), Qt::LeftDockWidgetArea);
        StopProgram(app);
    }

    void hiddenMenuBarIsRemembered() {
        auto app = StartProgram();
        Trigger(*app->GetMainFrame(), cmd::ViewMenuBar);
        StopProgram(app);
        app = StartProgram();
        QVERIFY(!app->GetMainFrame()->menuBar()->isVisible());
        Trigger(*app->GetMainFrame(), cmd::ViewMenuBar);
        QVERIFY(app->GetMainFrame()->menuBar()->isVisible());
        StopProgram(app);
    }

    void resetLayoutBringsAHiddenMenuBarBack() {
        auto app = StartProgram();
        Trigger(*app->GetMainFrame(), cmd::ViewMenuBar);
        StopProgram(app);
        app = StartProgram();
        QVERIFY(!app->GetMainFrame()->menuBar()->isVisible());
        // Reset Layout is within reach of the toolbars' context menu.
        std::unique_ptr<QMenu> bars(app->GetMainFrame()->createPopupMenu());
        QAction* reset = nullptr;
        for (QAction* action : bars->actions())
            reset = action->objectName() == QStringLiteral("cmd186") ? action : reset;
        QVERIFY(reset);
        MessageBoxScript boxes({IDOK, IDOK});
        reset->trigger();
        QCOMPARE(boxes.Shown().size(), size_t(2));
        bars.reset();
        StopProgram(app);
        app = StartProgram();
        QVERIFY(app->GetMainFrame()->menuBar()->isVisible());
        StopProgram(app);
    }

    void damagedLayoutFallsBackToTheDefault() {
        Registry::SetBinary(CQuillmarApp::kLayoutKey, u"BarState", {1, 2, 3, 4, 5});
        auto app = StartProgram();
        QVERIFY(app);
        QVERIFY(app->GetMainFrame()->GetQuickSummaryBar()->isVisible());
        QVERIFY(app->GetMainFrame()->GetStandardToolBar()->isVisible());
        StopProgram(app);
    }
};

DESKTOP_TEST_MAIN(LayoutTests)
#include "LayoutTests.moc"
