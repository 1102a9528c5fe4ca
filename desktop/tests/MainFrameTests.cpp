// The main window: menus, toolbars, status bar, enabling rules, routing, Print, About (the Help
// menu's pages: HelpTests).
#include <QApplication>
#include <QDateEdit>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QtTest>

#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "desktop/AboutDlg.h"
#include "desktop/CommandIds.h"
#include "desktop/HyperLink.h"
#include "desktop/MainFrame.h"
#include "desktop/ManualPages.h"
#include "desktop/QuillmarApp.h"
#include "desktop/ToolbarDatePicker.h"
#include "desktop/ViewByDate.h"
#include "desktop/ViewClientsProjectsSideBar.h"
#include "desktop/ViewSummary.h"
#include "desktop/reports/ReportWindow.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "platform/Registry.h"
#include "ui/qt/QtConvert.h"
#include "ui/qt/UrlOpener.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/TreeCtrlEx.h"

using namespace testsupport;

namespace {

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QMenu* TopMenu(CMainFrame& frame, const char* name) { return frame.findChild<QMenu*>(QString::fromLatin1(name)); }

QList<unsigned> ToolBarIds(QToolBar* bar) {
    QList<unsigned> ids;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator())
            ids << 0u;
        else if (QWidget* widget = bar->widgetForAction(action); widget && widget->objectName() == "datePicker")
            ids << 163u;
        else
            ids << action->data().toUInt();
    }
    return ids;
}

QAction* FindAction(QMenu& menu, const char* name) {
    for (QAction* action : menu.actions()) {
        if (action->objectName() == QLatin1String(name))
            return action;
    }
    return nullptr;
}

// The left part of a menu item's row, where the check mark or the icon goes.
QImage CheckColumn(QMenu& menu, QAction& action) {
    menu.ensurePolished();
    menu.adjustSize();
    const QRect row = menu.actionGeometry(&action);
    return menu.grab().toImage().copy(QRect(row.left(), row.top(), row.height() + 8, row.height()));
}

// Pixels near black in `on` that are not in `off`: a check mark drawn in the text colour.
int NewDarkPixels(const QImage& on, const QImage& off) {
    int count = 0;
    for (int y = 0; y < on.height() && y < off.height(); ++y)
        for (int x = 0; x < on.width() && x < off.width(); ++x)
            count += qGray(on.pixel(x, y)) < 80 && qGray(off.pixel(x, y)) >= 80;
    return count;
}

}   // namespace

class MainFrameTests : public ProgramTest {
    Q_OBJECT
private slots:
    void init() { QVERIFY(StartFresh()); }
    void cleanup() {
        SetUrlOpenHandler(nullptr);
        StopProgram(m_app);
    }

    void menusHoldEveryCommandInOrder() {
        QStringList top;
        for (QAction* action : Frame().menuBar()->actions())
            top << action->text();
        QCOMPARE(top, (QStringList{"&File", "&Edit", "&View", "&Tools", "&Help"}));
        QCOMPARE(MenuTexts(TopMenu(Frame(), "menuFile")),
                 (QStringList{"&New", "-", "&Sync with Mobile Device", "Sync &Troubleshooting...", "-", "&Export Data",
                              "&Print...", "-", "E&xit"}));
        QCOMPARE(MenuTexts(TopMenu(Frame(), "menuFileNew")),
                 (QStringList{"&Client", "&Project", "-", "&Mileage Entry", "&Time Entry", "&Expense Entry"}));
        QCOMPARE(
            MenuTexts(TopMenu(Frame(), "menuEdit")),
            (QStringList{"&Properties\tAlt+Enter", "&Mark as Paid", "Mark as &Billed", "-", "&Delete", "-", "&Find"}));
        QCOMPARE(MenuTexts(TopMenu(Frame(), "menuView")),
                 (QStringList{"&Toolbars", "&Menu Bar", "&Clients and Projects", "&Quick Summary", "R&eports...", "-",
                              "&Day", "&Week", "M&onth", "C&ustom Dates...", "-", "&Filter Data...", "-", "&Refresh",
                              "-", "Reset &Layout"}));
        QCOMPARE(MenuTexts(TopMenu(Frame(), "menuViewToolbars")), (QStringList{"&Standard", "Custom &Views"}));
        QCOMPARE(MenuTexts(TopMenu(Frame(), "menuTools")),
                 (QStringList{"&Start Timer", "&Pause Timer", "S&top Timer", "Start/Stop Timer for the &Last Project",
                              "-", "Manage &Categories", "-", "Create &Invoice...", "In&voices...", "-",
                              "&Pair with Device...", "&Options"}));
        QCOMPARE(MenuTexts(TopMenu(Frame(), "menuHelp")),
                 (QStringList{"Quillmar on the &Web", "Check for &Upgrade...", "-", "&Technical Support",
                              "&Frequently Asked Questions", "Online &Discussion Forum", "-", "&About Quillmar..."}));
    }

    void acceleratorsAndPrompts() {
        QCOMPARE(Frame().CommandAction(cmd::NewClient)->shortcut(), QKeySequence("Ctrl+N"));
        QCOMPARE(Frame().CommandAction(cmd::NewTimeEntry)->shortcut(), QKeySequence("Ctrl+T"));
        QCOMPARE(Frame().CommandAction(cmd::EditProperties)->shortcuts(),
                 (QList<QKeySequence>{QKeySequence("Alt+Return"), QKeySequence("Alt+Enter")}));
        QCOMPARE(Frame().CommandAction(cmd::ViewMenuBar)->shortcut(), QKeySequence("Ctrl+M"));
        QCOMPARE(Frame().CommandAction(cmd::MarkAsPaid)->shortcut(), QKeySequence("Ctrl+P"));
        QCOMPARE(Frame().CommandAction(cmd::EditDelete)->shortcut(), QKeySequence(Qt::Key_Delete));
        QCOMPARE(Frame().CommandAction(cmd::ViewRefresh)->shortcut(), QKeySequence(Qt::Key_F5));
        QCOMPARE(Frame().CommandAction(cmd::ExportData)->statusTip(),
                 QStringLiteral("Export your data to a variety of formats for use in external applications"));
        QCOMPARE(Frame().CommandAction(cmd::ExportData)->toolTip(), QStringLiteral("Export Data"));
        QCOMPARE(
            Frame().CommandAction(cmd::ViewQuickSummary)->statusTip(),
            QStringLiteral("Show or hide a quick report window summarizing the entries that are currently displayed"));
        QCOMPARE(Frame().CommandAction(cmd::MarkAsPaid)->statusTip(),
                 QStringLiteral("Mark the selected project item as Paid"));
        QVERIFY(Frame().CommandAction(cmd::AppExit)->statusTip().isEmpty());
    }

    void toolbarsHoldTheirButtonsWithIcons() {
        QCOMPARE(ToolBarIds(Frame().GetStandardToolBar()),
                 (QList<unsigned>{155, 156, 0, 159, 160, 161, 0, 185, 172, 0, 158, 0, 167, 169, 195}));
        QCOMPARE(ToolBarIds(Frame().GetCustomViewsToolBar()),
                 (QList<unsigned>{178, 179, 180, 181, 0, 190, 0, 163, 166, 164, 165}));
        QCOMPARE(ToolBarIds(Frame().GetSearchToolBar()), QList<unsigned>{cmd::Find});
        for (QToolBar* bar : {Frame().GetStandardToolBar(), Frame().GetCustomViewsToolBar()}) {
            for (QAction* action : bar->actions()) {
                if (!action->isSeparator() && bar->widgetForAction(action)->inherits("QToolButton"))
                    QVERIFY2(!action->icon().isNull(), qPrintable(action->objectName()));
            }
        }
        QDateEdit* picker = Frame().GetEntriesView()->GetDatePicker();
        QCOMPARE(picker->size(), QSize(130, 22));
        QCOMPARE(picker->displayFormat(), QStringLiteral("ddd, MMM d, yyyy"));
        QCOMPARE(Frame().GetCustomViewsToolBar()->allowedAreas(), Qt::TopToolBarArea | Qt::BottomToolBarArea);
    }

    void toolTipsComeFromTheResourceLibrary() {
        // Commands whose texts the resource library replaces show them as tooltips.
        for (auto [command, text] : std::vector<std::pair<unsigned, unsigned>>{{155, 39}, {172, 49}, {190, 87}}) {
            const QString expected = qtconv::ToQString(GetResString(text, 1)).remove('&');
            QVERIFY(!expected.isEmpty());
            QCOMPARE(Frame().CommandAction(command)->toolTip(), expected);
        }
    }

    void statusBarPanes() {
        QLabel* filter = Frame().GetFilterPane();
        QLabel* range = Frame().GetRangePane();
        QCOMPARE(filter->width(), 75);
        QCOMPARE(filter->frameStyle(), int(QFrame::NoFrame));
        QVERIFY(filter->text().isEmpty());
        QCOMPARE(range->text(), Frame().GetEntriesView()->RangeText());
        QVERIFY(range->text().contains(" - "));
        QCOMPARE(range->width(), range->fontMetrics().horizontalAdvance(range->text()) + 10 + 2 * range->frameWidth());
    }

    void promptsShowInPaneZeroAndGiveWayToTheIdleText() {
        QStatusBar* bar = Frame().statusBar();
        QCOMPARE(bar->currentMessage(), QStringLiteral("Ready"));
        Frame().CommandAction(cmd::ViewRefresh)->showStatusText(&Frame());
        QCOMPARE(bar->currentMessage(),
                 QStringLiteral("Refresh the data that is currently displayed in the various windows"));
        QStatusTipEvent leave{QString()};
        QApplication::sendEvent(&Frame(), &leave);
        QCOMPARE(bar->currentMessage(), QStringLiteral("Ready"));
    }

    void defaultDockingShowsBothBarsAtTheLeft() {
        QCOMPARE(Frame().dockWidgetArea(Frame().GetClientsProjectsBar()), Qt::LeftDockWidgetArea);
        QCOMPARE(Frame().dockWidgetArea(Frame().GetQuickSummaryBar()), Qt::LeftDockWidgetArea);
        QVERIFY(Frame().GetClientsProjectsBar()->isVisible());
        QVERIFY(Frame().GetQuickSummaryBar()->isVisible());
        QCOMPARE(Frame().toolBarArea(Frame().GetStandardToolBar()), Qt::TopToolBarArea);
        QCOMPARE(Frame().toolBarArea(Frame().GetCustomViewsToolBar()), Qt::TopToolBarArea);
        QVERIFY(!Frame().toolBarBreak(Frame().GetCustomViewsToolBar()));
    }

    void barTogglesAreCheckedWhileVisible() {
        for (unsigned id : {cmd::ViewStandardToolbar, cmd::ViewCustomViewsToolbar, cmd::ViewMenuBar,
                            cmd::ViewClientsProjects, cmd::ViewQuickSummary}) {
            QVERIFY(IsChecked(Frame(), id));
            QVERIFY(Trigger(Frame(), id));
            QVERIFY2(!IsChecked(Frame(), id), qPrintable(QString::number(id)));
            QVERIFY(Trigger(Frame(), id));
            QVERIFY(IsChecked(Frame(), id));
        }
        Trigger(Frame(), cmd::ViewQuickSummary);
        QVERIFY(!Frame().GetQuickSummaryBar()->isVisible());
        Trigger(Frame(), cmd::ViewMenuBar);
        QVERIFY(!Frame().menuBar()->isVisible());
    }

    void hiddenMenuBarComesBackFromTheBarsMenuAndTheKeyboard() {
        Trigger(Frame(), cmd::ViewMenuBar);
        QVERIFY(!Frame().menuBar()->isVisibleTo(&Frame()));
        {
            std::unique_ptr<QMenu> bars(Frame().createPopupMenu());
            QAction* entry = FindAction(*bars, "cmd153");
            QVERIFY(entry);
            QVERIFY(!entry->isChecked());
            entry->trigger();
        }
        QVERIFY(Frame().menuBar()->isVisibleTo(&Frame()));
        std::unique_ptr<QMenu> bars(Frame().createPopupMenu());
        QVERIFY(FindAction(*bars, "cmd153")->isChecked());
        // F10 brings it back too (Ctrl+M is the toggle's own key, above).
        Trigger(Frame(), cmd::ViewMenuBar);
        QAction* f10 = Frame().findChild<QAction*>(QStringLiteral("menuBarKey"));
        QVERIFY(f10);
        QCOMPARE(f10->shortcut(), QKeySequence(Qt::Key_F10));
        f10->trigger();
        QVERIFY(Frame().menuBar()->isVisibleTo(&Frame()));
        QVERIFY(IsChecked(Frame(), cmd::ViewMenuBar));
    }

    void viewMenuShowsCheckMarksInEveryTheme() {
        QMenu* view = TopMenu(Frame(), "menuView");
        for (int theme = 0; theme < 3; ++theme) {
            Frame().ApplyTheme(theme);
            for (unsigned id : {cmd::ViewClientsProjects, cmd::PeriodWeek}) {
                Frame().UpdateCommandUI();
                QAction* action = Frame().CommandAction(id);
                QVERIFY(action->isChecked());
                const QImage on = CheckColumn(*view, *action);
                action->setChecked(false);
                const QImage off = CheckColumn(*view, *action);
                action->setChecked(true);
                QVERIFY2(NewDarkPixels(on, off) >= 5,
                         qPrintable(QStringLiteral("theme %1 command %2").arg(theme).arg(id)));
            }
        }
        Frame().ApplyTheme(0);
    }

    void menuKeysAreNotCutAtTheMenusEdgeInAnyTheme() {
        for (int theme = 0; theme < 3; ++theme) {
            Frame().ApplyTheme(theme);
            for (const char* name : {"menuEdit", "menuView"}) {
                QMenu* menu = TopMenu(Frame(), name);
                menu->ensurePolished();
                menu->adjustSize();
                const QImage image = menu->grab().toImage();
                int inked = 0;   // text pixels in the last few columns of the rows showing a key
                for (QAction* action : menu->actions()) {
                    if (action->shortcut().isEmpty())
                        continue;
                    const QRect row = menu->actionGeometry(action);
                    for (int y = row.top(); y <= row.bottom(); ++y)
                        for (int x = image.width() - 8; x < image.width() - 2; ++x)
                            inked += qGray(image.pixel(x, y)) < 100;
                }
                QVERIFY2(inked == 0, qPrintable(QStringLiteral("theme %1 %2: %3").arg(theme).arg(name).arg(inked)));
            }
        }
        Frame().ApplyTheme(0);
    }

    void disabledControlsLookDisabledInEveryTheme() {
        Frame().GetEntriesView()->SetPeriodType(CViewByDate::PeriodCustom);
        QWidget* picker = Frame().GetEntriesView()->GetDatePicker();
        QVERIFY(!picker->isEnabled());
        QMenu* edit = TopMenu(Frame(), "menuEdit");
        Frame().UpdateCommandUI();
        QAction* properties = Frame().CommandAction(cmd::EditProperties);
        QVERIFY(!properties->isEnabled());
        for (int theme = 0; theme < 3; ++theme) {
            Frame().ApplyTheme(theme);
            const QPalette palette = picker->palette();
            for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
                QVERIFY2(palette.color(QPalette::Disabled, role) != palette.color(QPalette::Active, role),
                         qPrintable(QStringLiteral("theme %1 role %2").arg(theme).arg(role)));
            // A greyed menu item has no black text.
            edit->ensurePolished();
            edit->adjustSize();
            const QImage menu = edit->grab().toImage();
            const QRect row = edit->actionGeometry(properties);
            int darkest = 255;
            for (int y = row.top() + 2; y < row.bottom() - 1; ++y)
                for (int x = row.left() + row.height() + 4; x < row.right() - 4; ++x)
                    darkest = std::min(darkest, qGray(menu.pixel(x, y)));
            QVERIFY2(darkest > 90, qPrintable(QStringLiteral("theme %1: %2").arg(theme).arg(darkest)));
        }
        Frame().ApplyTheme(0);
    }

    void entriesListKeepsTheFocusAfterItsDialogs() {
        const int entry = AddEntry(1, Frame().GetEntriesView()->GetAnchor(), AddProject(u"Site", 0), 5.0f);
        Frame().GetEntriesView()->Refresh(entry);
        Frame().activateWindow();
        if (!QTest::qWaitForWindowActive(&Frame()))
            QSKIP("the offscreen platform gave no focus to the window");
        CListCtrlEx* list = Frame().GetEntriesView()->GetListCtrl();
        // The date picker had the focus; the Custom period disables it.
        Frame().GetEntriesView()->GetDatePicker()->setFocus();
        QApplication::processEvents();
        DialogScript dialogs({&PressOk});
        Trigger(Frame(), cmd::PeriodCustom);
        QApplication::processEvents();
        QCOMPARE(dialogs.Shown(), 1);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
        list->SelectRow(0);
        QVERIFY(IsEnabled(Frame(), cmd::EditProperties));
        QVERIFY(IsEnabled(Frame(), cmd::MarkAsPaid));
        // After the filter dialog as well.
        DialogScript filter({&PressOk});
        Trigger(Frame(), cmd::FilterData);
        QApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));
    }

    void keysTypedInADialogStayInIt() {
        Frame().activateWindow();
        if (!QTest::qWaitForWindowActive(&Frame()))
            QSKIP("the offscreen platform gave no focus to the window");
        DialogScript dialogs({[](QDialog& dialog) {
            dialog.setWindowModality(Qt::ApplicationModal);
            dialog.show();
            dialog.activateWindow();
            if (!QTest::qWaitForWindowActive(&dialog))
                return int(QDialog::Rejected);
            // The main window's keys do nothing here; the name goes into the first field.
            QApplication::processEvents();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Acme"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            const int result = dialog.result();
            dialog.hide();
            return result;
        }});
        Trigger(Frame(), cmd::NewClient);
        QCOMPARE(dialogs.Shown(), 1);
        QCOMPARE(dialogs.Unexpected(), 0);
        CTreeCtrlEx* tree = Frame().GetSideBarView()->GetTreeCtrl();
        QVERIFY(!tree->findItems(QStringLiteral("Acme"), Qt::MatchExactly).isEmpty());
    }

    void entryCommandsNeedASelectedEntry() {
        const int project = AddProject(u"Site", 0);
        const int entry = AddEntry(1, Frame().GetEntriesView()->GetAnchor(), project, 10.0f);
        Frame().GetEntriesView()->Refresh(0);
        QVERIFY(!IsEnabled(Frame(), cmd::EditProperties));
        QVERIFY(!IsEnabled(Frame(), cmd::EditDelete));
        QVERIFY(!IsEnabled(Frame(), cmd::MarkAsPaid));
        Frame().GetEntriesView()->Refresh(entry);
        QVERIFY(IsEnabled(Frame(), cmd::EditProperties));
        QVERIFY(IsEnabled(Frame(), cmd::EditDelete));
        QVERIFY(IsEnabled(Frame(), cmd::MarkAsPaid));
    }

    void sideBarPaneDisablesMarkAsPaidAndEditsItsNode() {
        const int client = AddClient(u"Acme");
        const int entry = AddEntry(1, Frame().GetEntriesView()->GetAnchor(), AddProject(u"Web", client), 5.0f);
        Frame().RefreshAll();
        Frame().GetEntriesView()->Refresh(entry);
        CTreeCtrlEx* tree = Frame().GetSideBarView()->GetTreeCtrl();
        tree->setCurrentItem(tree->FindNode(0, client));
        Frame().SetActivePane(CMainFrame::Pane::SideBar);
        QVERIFY(IsEnabled(Frame(), cmd::EditProperties));
        QVERIFY(IsEnabled(Frame(), cmd::EditDelete));
        QVERIFY(!IsEnabled(Frame(), cmd::MarkAsPaid));
        // The no-client node carries no record.
        tree->setCurrentItem(tree->FindNode(0, 0));
        QVERIFY(!IsEnabled(Frame(), cmd::EditProperties));
        // Properties goes to the side bar: the client sheet opens, not the entry editor.
        tree->setCurrentItem(tree->FindNode(0, client));
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); }});
        Trigger(Frame(), cmd::EditProperties);
        QCOMPARE(dialogs.Shown(), 1);
        QCOMPARE(dialogs.Unexpected(), 0);
    }

    void summaryPaneDisablesEntryCommands() {
        const int entry = AddEntry(1, Frame().GetEntriesView()->GetAnchor(), 0, 5.0f);
        Frame().GetEntriesView()->Refresh(entry);
        Frame().SetActivePane(CMainFrame::Pane::Summary);
        QVERIFY(!IsEnabled(Frame(), cmd::EditProperties));
        QVERIFY(!IsEnabled(Frame(), cmd::EditDelete));
        QVERIFY(!IsEnabled(Frame(), cmd::MarkAsPaid));
        Frame().SetActivePane(CMainFrame::Pane::Entries);
        QVERIFY(IsEnabled(Frame(), cmd::MarkAsPaid));
    }

    void focusDecidesTheActivePane() {
        Frame().activateWindow();
        Frame().GetSideBarView()->GetTreeCtrl()->setFocus();
        QApplication::processEvents();
        if (QApplication::focusWidget() != Frame().GetSideBarView()->GetTreeCtrl())
            QSKIP("the offscreen platform gave no focus to the window");
        QCOMPARE(Frame().ActivePane(), CMainFrame::Pane::SideBar);
        Frame().GetSummaryView()->GetListCtrl()->setFocus();
        QApplication::processEvents();
        QCOMPARE(Frame().ActivePane(), CMainFrame::Pane::Summary);
        Frame().GetEntriesView()->GetListCtrl()->setFocus();
        QApplication::processEvents();
        QCOMPARE(Frame().ActivePane(), CMainFrame::Pane::Entries);
    }

    void customPeriodDisablesNavigation() {
        QVERIFY(IsEnabled(Frame(), cmd::Today));
        Frame().GetEntriesView()->SetPeriodType(CViewByDate::PeriodCustom);
        for (unsigned id : {cmd::Today, cmd::PreviousPeriod, cmd::NextPeriod})
            QVERIFY(!IsEnabled(Frame(), id));
        QVERIFY(!Frame().GetEntriesView()->GetDatePicker()->isEnabled());
        QVERIFY(IsChecked(Frame(), cmd::PeriodCustom));
        QVERIFY(!IsChecked(Frame(), cmd::PeriodWeek));
        Trigger(Frame(), cmd::PeriodWeek);
        QVERIFY(IsEnabled(Frame(), cmd::Today));
        QVERIFY(Frame().GetEntriesView()->GetDatePicker()->isEnabled());
        QVERIFY(IsChecked(Frame(), cmd::PeriodWeek));
    }

    void alwaysEnabledCommands() {
        for (unsigned id : {cmd::NewClient, cmd::NewProject, cmd::NewMileageEntry, cmd::NewTimeEntry,
                            cmd::NewExpenseEntry, cmd::SyncDevice, cmd::SyncTroubleshooting, cmd::ExportData,
                            cmd::FilePrint, cmd::AppExit, cmd::FilterData, cmd::ViewRefresh, cmd::ResetLayout,
                            cmd::ManageCategories, cmd::ToolsOptions, cmd::HelpWeb, cmd::AppAbout})
            QVERIFY2(IsEnabled(Frame(), id), qPrintable(QString::number(id)));
    }

    void printCancelledDoesNothing() {
        MessageBoxScript boxes({IDCANCEL});
        DialogScript dialogs({});
        Trigger(Frame(), cmd::FilePrint);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QVERIFY(boxes.Shown()[0].text.Find(u"printing is done through Microsoft Excel") > 0);
        QCOMPARE(boxes.Shown()[0].flags, unsigned(MB_OKCANCEL | MB_ICONINFORMATION));
        QCOMPARE(dialogs.Shown(), 0);
    }

    void printConfirmedOpensTheExportDialog() {
        MessageBoxScript boxes({IDOK});
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); }});
        Trigger(Frame(), cmd::FilePrint);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QCOMPARE(dialogs.Shown(), 1);
    }

    void reportsOpenOneWindowOnTheViewsPeriodThatPrintPrints() {
        QVERIFY(!Frame().GetReportWindow());
        Trigger(Frame(), cmd::ViewReports);
        CReportWindow* report = Frame().GetReportWindow();
        QVERIFY(report);
        QCOMPARE(report->Report().GetRequest().filter.m_dtStart, Frame().GetEntriesView()->GetFilter().m_dtStart);
        QCOMPARE(report->Report().GetRequest().filter.m_dtEnd, Frame().GetEntriesView()->GetFilter().m_dtEnd);
        Trigger(Frame(), cmd::ViewReports);
        QCOMPARE(Frame().findChildren<CReportWindow*>().size(), 1);

        // Refresh takes in what changed in the data file meanwhile.
        const int before = report->Report().Totals().m_nCount;
        CProjectItem entry;
        entry.set_ItemDate(Frame().GetEntriesView()->GetFilter().m_dtStart);
        QCOMPARE(entry.Save(), 1);
        Trigger(Frame(), cmd::ViewRefresh);
        QCOMPARE(report->Report().Totals().m_nCount, before + 1);

        // With the report open, Print offers the print dialog for it instead of the export.
        MessageBoxScript boxes;
        bool printDialog = false;
        DialogScript dialogs({[&](QDialog& dialog) {
            printDialog = dialog.inherits("QPrintDialog");
            return int(QDialog::Rejected);
        }});
        Trigger(Frame(), cmd::FilePrint);
        QVERIFY(printDialog);
        QVERIFY(boxes.Shown().empty());

        report->close();
        QTRY_VERIFY(!Frame().GetReportWindow());
    }

    void optionsConfirmedStoresAndAppliesTheSettings() {
        const int client = AddClient(u"Without projects");
        DialogScript dialogs({&PressOk});
        Trigger(Frame(), cmd::ToolsOptions);
        QCOMPARE(dialogs.Shown(), 1);
        const CString key = CQuillmarApp::kSettingsKey;
        QCOMPARE(Registry::GetDword(key, u"Theme", 9), 0u);
        QCOMPARE(Registry::GetDword(key, u"StrikeOutPaidItems", 9), 1u);
        QVERIFY(Registry::QueryBinary(key, u"MileageRate"));
        // The tree was refilled: the client added behind its back shows now.
        QVERIFY(Frame().GetSideBarView()->GetTreeCtrl()->FindNode(0, client));
    }

    void optionsCancelledChangesNothing() {
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); }});
        Trigger(Frame(), cmd::ToolsOptions);
        QCOMPARE(dialogs.Shown(), 1);
        QVERIFY(!Registry::QueryDword(CQuillmarApp::kSettingsKey, u"Theme"));
    }

    void manageCategoriesOpensItsDialog() {
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); }});
        Trigger(Frame(), cmd::ManageCategories);
        QCOMPARE(dialogs.Shown(), 1);
    }

    void newEntryCommandsOpenTheEntryEditor() {
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); },
                              [](QDialog&) { return int(QDialog::Rejected); },
                              [](QDialog&) { return int(QDialog::Rejected); }});
        Trigger(Frame(), cmd::NewTimeEntry);
        Trigger(Frame(), cmd::NewExpenseEntry);
        Trigger(Frame(), cmd::NewMileageEntry);
        QCOMPARE(dialogs.Shown(), 3);
        QCOMPARE(Frame().GetEntriesView()->GetListCtrl()->topLevelItemCount(), 0);
    }

    void aboutBoxLinksExplainFailures() {
        CAboutDlg about(&Frame());
        QCOMPARE(about.windowTitle(), QStringLiteral("About Quillmar"));
        QCOMPARE(about.findChild<QLabel*>("versionLabel")->text(), CMainFrame::VersionText() + " (Unicode)");
        QCOMPARE(about.SupportLink()->Address(), CManualPages::Address(CManualPages::kSupport));
        QCOMPARE(about.HomePageLink()->toolTip(), about.HomePageLink()->Address());
        QVERIFY(about.HomePageLink()->font().underline());
        QCOMPARE(about.HomePageLink()->palette().color(QPalette::WindowText), CHyperLink::LinkColor());
        SetUrlOpenHandler([](const QString&) { return 31; });
        MessageBoxScript boxes;
        QCOMPARE(about.HomePageLink()->Follow(), 31);
        QCOMPARE(boxes.Shown().size(), size_t(1));
        QCOMPARE(qtconv::ToQString(boxes.Shown()[0].text),
                 QStringLiteral("Unable to open hyperlink:\n\nThere is no application associated\nwith the given "
                                "filename extension."));
        QCOMPARE(boxes.Shown()[0].flags & MB_ICONMASK, unsigned(MB_ICONEXCLAMATION));
        SetUrlOpenHandler([](const QString&) { return 4; });
        about.SupportLink()->Follow();
        QCOMPARE(boxes.Shown().size(), size_t(2));
        QCOMPARE(qtconv::ToQString(boxes.Shown()[1].text),
                 QStringLiteral("Unable to open hyperlink:\n\nUnknown Error (4) occurred."));
        SetUrlOpenHandler([](const QString&) { return 33; });
        about.SupportLink()->Follow();
        QCOMPARE(boxes.Shown().size(), size_t(2));   // success says nothing
    }

    void aboutCommandShowsTheBox() {
        DialogScript dialogs({[](QDialog& dialog) {
            return dialog.objectName() == "aboutDialog" ? int(QDialog::Accepted) : int(QDialog::Rejected);
        }});
        Trigger(Frame(), cmd::AppAbout);
        QCOMPARE(dialogs.Shown(), 1);
        QCOMPARE(dialogs.ObjectNames().front(), QStringLiteral("aboutDialog"));
    }

    void exitClosesTheWindow() {
        Trigger(Frame(), cmd::AppExit);
        QVERIFY(!Frame().isVisible());
    }

    void newClientAndProjectRefillTheTreeAndSelectTheProject() {
        CTreeCtrlEx* tree = Frame().GetSideBarView()->GetTreeCtrl();
        const int before = tree->topLevelItemCount();
        DialogScript clientDialog({[](QDialog& dialog) {
            if (auto* name = dialog.findChild<QLineEdit*>("nameEdit"))
                name->setText("Initech");
            return PressOk(dialog);
        }});
        Trigger(Frame(), cmd::NewClient);
        QCOMPARE(clientDialog.Shown(), 1);
        QCOMPARE(tree->topLevelItemCount(), before + 1);

        DialogScript projectDialog({[](QDialog& dialog) {
            if (auto* name = dialog.findChild<QLineEdit*>("descriptionEdit"))
                name->setText("TPS reports");
            return PressOk(dialog);
        }});
        Trigger(Frame(), cmd::NewProject);
        QCOMPARE(projectDialog.Shown(), 1);
        QVERIFY(tree->SelectedNode());
        QCOMPARE(tree->SelectedNode()->text(0), QStringLiteral("TPS reports"));
        QCOMPARE(CTreeCtrlEx::NodeLevel(tree->SelectedNode()), 1);
    }

    void newClientCancelledLeavesTheTree() {
        CTreeCtrlEx* tree = Frame().GetSideBarView()->GetTreeCtrl();
        const int before = tree->topLevelItemCount();
        DialogScript dialogs({[](QDialog&) { return int(QDialog::Rejected); }});
        Trigger(Frame(), cmd::NewClient);
        QCOMPARE(dialogs.Shown(), 1);
        QCOMPARE(tree->topLevelItemCount(), before);
    }
};

DESKTOP_TEST_MAIN(MainFrameTests)
#include "MainFrameTests.moc"
