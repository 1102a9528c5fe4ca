#include "desktop/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include "biz/Helpers.h"
#include "biz/SyncDriverCeRapi.h"
#include "desktop/CommandIcon.h"
#include "desktop/CommandIds.h"
#include "desktop/CommandTable.h"
#include "desktop/FrameTimer.h"
#include "desktop/QuillmarApp.h"
#include "desktop/Themes.h"
#include "desktop/TimerToolBar.h"
#include "desktop/ToolbarDatePicker.h"
#include "desktop/ViewByDate.h"
#include "desktop/ViewClientsProjectsSideBar.h"
#include "desktop/ViewSummary.h"
#include "desktop/reports/ReportWindow.h"
#include "platform/Registry.h"
#include "platform/StringTable.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/Icons.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/TreeCtrlEx.h"

namespace {

const char16_t* const kBarStateValue = u"BarState";
const char16_t* const kPlacementValue = u"WindowPlacement";
const char16_t* const kMenuBarValue = u"MenuBarVisible";
constexpr int kLayoutVersion = 1;

QByteArray ToByteArray(const std::vector<uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

std::vector<uint8_t> ToBytes(const QByteArray& bytes) { return std::vector<uint8_t>(bytes.begin(), bytes.end()); }

// The menu text without its key hint ("&Refresh\tF5" shows "&Refresh" and the shortcut).
QString MenuText(const CommandInfo& info) { return QString::fromUtf8(info.menuText).section(QLatin1Char('\t'), 0, 0); }

// The keypad's Enter works as Return does, and the menu names the key as Windows users know
// it ("Alt+Enter").
void SetCommandShortcut(QAction* action, const QKeySequence& key) {
    QList<QKeySequence> keys{key};
    const QString text = key.toString(QKeySequence::PortableText);
    if (text.contains(QLatin1String("Return"))) {
        const QString enter = QString(text).replace(QLatin1String("Return"), QLatin1String("Enter"));
        keys << QKeySequence(enter);
        action->setText(action->text() + QLatin1Char('\t') + enter);
    }
    action->setShortcuts(keys);
}

QString PlainText(const QString& menuText) {
    QString text = menuText;
    text.remove(QLatin1Char('&'));
    if (text.endsWith(QLatin1String("...")))
        text.chop(3);
    return text;
}

}   // namespace

CMainFrame::CMainFrame(CQuillmarApp& app) : m_app(app), m_syncDriverFactory(CSyncDriverCeRapi::Factory()) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(qtconv::ToQString(CQuillmarApp::GetWindowTitle()));
    setWindowIcon(ProgramIcon(ids::DocTemplate));
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks | QMainWindow::AllowTabbedDocks);
    ApplyTheme(m_app.m_nTheme);
    CreateCommandActions();
    CreateMenuBar();
    CreateToolBars();
    CreateStatusBar();
    CreateDockingBars();
    m_pTimer = new CFrameTimer(*this);
    if (!LoadLayout())
        ApplyDefaultLayout();
    ConnectCommands();
    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
    resize(900, 600);
}

CMainFrame::~CMainFrame() {
    if (!m_bLayoutSaved && m_app.m_bSaveLayout)
        SaveLayout();
}

void CMainFrame::CreateCommandActions() {
    const Library* resLibrary = m_app.GetResourceLibrary();
    for (const CommandInfo& info : CommandTable()) {
        auto* action = new QAction(MenuText(info), this);
        action->setObjectName(QStringLiteral("cmd%1").arg(info.id));
        action->setData(info.id);
        if (*info.shortcut)
            SetCommandShortcut(action, QKeySequence(QString::fromLatin1(info.shortcut)));
        const QString prompt = qtconv::ToQString(StringTable::Get(info.id));
        action->setStatusTip(prompt.section(QLatin1Char('\n'), 0, 0));
        QString toolTip = prompt.section(QLatin1Char('\n'), 1, 1);
        if (info.toolTipResId != 0) {
            const QString resText = qtconv::ToQString(GetResString(info.toolTipResId, 1));
            if (!resText.isEmpty())
                toolTip = resText;
        }
        action->setToolTip(toolTip.isEmpty() ? PlainText(MenuText(info)) : PlainText(toolTip));
        action->setIcon(CommandIcon(resLibrary, info.id));
        // A toggle shows a check mark in the menus: every look draws one only beside no icon.
        action->setIconVisibleInMenu(!info.checkable);
        action->setCheckable(info.checkable);
        m_actions[info.id] = action;
        addAction(action);   // shortcuts work whichever bar is hidden
    }
}

QAction* CMainFrame::CommandAction(unsigned id) const {
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

void CMainFrame::CreateMenuBar() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    auto add = [this](QMenu* menu, unsigned id) { menu->addAction(CommandAction(id)); };

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    QMenu* fileNew = file->addMenu(QStringLiteral("&New"));
    fileNew->setObjectName(QStringLiteral("menuFileNew"));
    add(fileNew, cmd::NewClient);
    add(fileNew, cmd::NewProject);
    fileNew->addSeparator();
    add(fileNew, cmd::NewMileageEntry);
    add(fileNew, cmd::NewTimeEntry);
    add(fileNew, cmd::NewExpenseEntry);
    file->addSeparator();
    add(file, cmd::SyncDevice);
    add(file, cmd::SyncTroubleshooting);
    file->addSeparator();
    add(file, cmd::ExportData);
    add(file, cmd::FilePrint);
    file->addSeparator();
    add(file, cmd::AppExit);

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("menuEdit"));
    add(edit, cmd::EditProperties);
    add(edit, cmd::MarkAsPaid);
    add(edit, cmd::MarkAsBilled);
    edit->addSeparator();
    add(edit, cmd::EditDelete);
    edit->addSeparator();
    add(edit, cmd::Find);

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("menuView"));
    QMenu* toolbars = view->addMenu(QStringLiteral("&Toolbars"));
    toolbars->setObjectName(QStringLiteral("menuViewToolbars"));
    add(toolbars, cmd::ViewStandardToolbar);
    add(toolbars, cmd::ViewCustomViewsToolbar);
    for (unsigned id : {cmd::ViewMenuBar, cmd::ViewClientsProjects, cmd::ViewQuickSummary})
        add(view, id);
    add(view, cmd::ViewReports);
    view->addSeparator();
    for (unsigned id : {cmd::PeriodDay, cmd::PeriodWeek, cmd::PeriodMonth, cmd::PeriodCustom})
        add(view, id);
    view->addSeparator();
    add(view, cmd::FilterData);
    view->addSeparator();
    add(view, cmd::ViewRefresh);
    view->addSeparator();
    add(view, cmd::ResetLayout);

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("menuTools"));
    add(tools, cmd::ManageCategories);
    tools->addSeparator();
    add(tools, cmd::CreateInvoice);
    add(tools, cmd::Invoices);
    tools->addSeparator();
    add(tools, cmd::PairDevice);
    add(tools, cmd::ToolsOptions);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    add(help, cmd::HelpWeb);
    add(help, cmd::HelpUpgrade);
    help->addSeparator();
    add(help, cmd::HelpSupport);
    add(help, cmd::HelpFaq);
    add(help, cmd::HelpForum);
    help->addSeparator();
    add(help, cmd::AppAbout);

    // F10 works whether the menu bar shows or not, so a hidden one is never out of reach.
    auto* menuKey = new QAction(this);
    menuKey->setObjectName(QStringLiteral("menuBarKey"));
    menuKey->setShortcut(QKeySequence(Qt::Key_F10));
    connect(menuKey, &QAction::triggered, this, &CMainFrame::OnMenuBarKey);
    addAction(menuKey);

    // Menus ask for their enabling state just before they open, as the frame's idle update did.
    for (QMenu* menu : {file, fileNew, edit, view, toolbars, tools, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
}

void CMainFrame::OnMenuBarKey() {
    QMenuBar* bar = menuBar();
    if (!bar->isVisibleTo(this)) {
        bar->setVisible(true);
        UpdateCommandUI();
        return;
    }
    if (!bar->actions().isEmpty())
        bar->setActiveAction(bar->actions().first());
}

QMenu* CMainFrame::createPopupMenu() {
    QMenu* menu = QMainWindow::createPopupMenu();
    if (!menu)
        menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("barsContextMenu"));
    UpdateCommandUI();
    menu->addSeparator();
    menu->addAction(CommandAction(cmd::ViewMenuBar));
    menu->addAction(CommandAction(cmd::ResetLayout));
    return menu;
}

void CMainFrame::CreateToolBars() {
    m_pStandardBar = addToolBar(QStringLiteral("Standard"));
    m_pStandardBar->setObjectName(QStringLiteral("toolBarStandard"));
    m_pStandardBar->setIconSize(QSize(16, 16));
    for (unsigned id : {cmd::NewClient, cmd::NewProject, 0u, cmd::NewTimeEntry, cmd::NewExpenseEntry,
                        cmd::NewMileageEntry, 0u, cmd::ViewQuickSummary, cmd::ViewRefresh, 0u, cmd::EditDelete, 0u,
                        cmd::ViewClientsProjects, cmd::SyncDevice, cmd::ExportData}) {
        if (id == 0)
            m_pStandardBar->addSeparator();
        else
            m_pStandardBar->addAction(CommandAction(id));
    }

    m_pCustomViewsBar = addToolBar(QStringLiteral("Custom Views"));
    m_pCustomViewsBar->setObjectName(QStringLiteral("toolBarCustomViews"));
    m_pCustomViewsBar->setIconSize(QSize(16, 15));
    m_pCustomViewsBar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    for (unsigned id : {cmd::PeriodDay, cmd::PeriodWeek, cmd::PeriodMonth, cmd::PeriodCustom, 0u, cmd::FilterData, 0u})
        id == 0 ? (void)m_pCustomViewsBar->addSeparator() : m_pCustomViewsBar->addAction(CommandAction(id));
    // Button 163 is the place of the date picker, which the entries view makes.
    m_pDatePickerSlot = m_pCustomViewsBar->addSeparator();
    for (unsigned id : {cmd::Today, cmd::PreviousPeriod, cmd::NextPeriod})
        m_pCustomViewsBar->addAction(CommandAction(id));
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    m_pFilterPane = new QLabel(bar);
    m_pFilterPane->setObjectName(QStringLiteral("statusFilterPane"));
    m_pFilterPane->setAlignment(Qt::AlignCenter);
    m_pFilterPane->setFixedWidth(75);
    m_pFilterPane->setFrameStyle(QFrame::NoFrame);
    m_pRangePane = new QLabel(bar);
    m_pRangePane->setObjectName(QStringLiteral("statusRangePane"));
    m_pRangePane->setAlignment(Qt::AlignCenter);
    m_pRangePane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pLastSyncPane = new QLabel(bar);
    m_pLastSyncPane->setObjectName(QStringLiteral("statusLastSyncPane"));
    bar->addPermanentWidget(m_pLastSyncPane);
    bar->addPermanentWidget(m_pFilterPane);
    bar->addPermanentWidget(m_pRangePane);
    UpdateLastSyncPane();
    bar->showMessage(qtconv::ToQString(StringTable::Get(ids::IdleMessage)));
}

void CMainFrame::CreateDockingBars() {
    m_pClientsProjectsBar = new QDockWidget(PlainText(MenuText(*FindCommand(cmd::ViewClientsProjects))), this);
    m_pClientsProjectsBar->setObjectName(QStringLiteral("barClientsProjects"));
    m_pSideBarView = new CViewClientsProjectsSideBar(m_pClientsProjectsBar);
    m_pSideBarView->setMinimumSize(100, 100);
    m_pClientsProjectsBar->setWidget(m_pSideBarView);

    m_pQuickSummaryBar = new QDockWidget(PlainText(MenuText(*FindCommand(cmd::ViewQuickSummary))), this);
    m_pQuickSummaryBar->setObjectName(QStringLiteral("barQuickSummary"));
    m_pSummaryView = new CViewSummary(m_pQuickSummaryBar);
    m_pSummaryView->setMinimumSize(100, 100);
    m_pQuickSummaryBar->setWidget(m_pSummaryView);

    for (QDockWidget* bar : {m_pClientsProjectsBar, m_pQuickSummaryBar}) {
        bar->setAllowedAreas(Qt::AllDockWidgetAreas);
        bar->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                         QDockWidget::DockWidgetFloatable);
        addDockWidget(Qt::LeftDockWidgetArea, bar);
    }
    connect(m_pSideBarView, &CViewClientsProjectsSideBar::refreshAllRequested, this, &CMainFrame::RefreshAll);
}

void CMainFrame::ApplyDefaultLayout() {
    menuBar()->setVisible(true);
    for (QToolBar* bar : {m_pStandardBar, m_pCustomViewsBar}) {
        removeToolBar(bar);
        addToolBar(Qt::TopToolBarArea, bar);
        bar->setVisible(true);
    }
    m_pTimer->PlaceToolBarOnItsOwnRow();
    if (m_pSearchBar) {
        removeToolBar(m_pSearchBar);
        addToolBar(Qt::TopToolBarArea, m_pSearchBar);
        m_pSearchBar->setVisible(true);
    }
    // The summary docks innermost at the left; the side bar shares its place half and half.
    for (QDockWidget* bar : {m_pClientsProjectsBar, m_pQuickSummaryBar}) {
        bar->setFloating(false);
        bar->setVisible(true);
    }
    addDockWidget(Qt::LeftDockWidgetArea, m_pClientsProjectsBar);
    splitDockWidget(m_pClientsProjectsBar, m_pQuickSummaryBar, Qt::Vertical);
    resizeDocks({m_pClientsProjectsBar, m_pQuickSummaryBar}, {200, 200}, Qt::Vertical);
    // 200 pixels cut the summary's date range short; a little more shows it whole.
    resizeDocks({m_pClientsProjectsBar}, {230}, Qt::Horizontal);
}

void CMainFrame::SaveLayout() {
    const CString& key = CQuillmarApp::kLayoutKey;
    Registry::SetBinary(key, kBarStateValue, ToBytes(saveState(kLayoutVersion)));
    Registry::SetBinary(key, kPlacementValue, ToBytes(saveGeometry()));
    Registry::SetDword(key, kMenuBarValue, menuBar()->isVisibleTo(this) ? 1 : 0);
    m_bLayoutSaved = true;
}

bool CMainFrame::LoadLayout() {
    const CString& key = CQuillmarApp::kLayoutKey;
    const auto state = Registry::QueryBinary(key, kBarStateValue);
    m_savedPlacement.clear();
    if (const auto placement = Registry::QueryBinary(key, kPlacementValue))
        m_savedPlacement = ToByteArray(*placement);
    if (!state || !restoreState(ToByteArray(*state), kLayoutVersion))
        return false;
    menuBar()->setVisible(Registry::GetDword(key, kMenuBarValue, 1) != 0);
    return true;
}

void CMainFrame::ApplySavedPlacement() {
    if (!m_savedPlacement.isEmpty())
        restoreGeometry(m_savedPlacement);
    m_savedPlacement.clear();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_app.m_bSaveLayout)
        SaveLayout();
    else
        m_bLayoutSaved = true;   // Reset Layout asked for nothing to be written back
    QMainWindow::closeEvent(event);
}

bool CMainFrame::event(QEvent* event) {
    // When a prompt goes away, pane 0 shows the idle text again rather than nothing.
    if (event->type() == QEvent::StatusTip && static_cast<QStatusTipEvent*>(event)->tip().isEmpty()) {
        statusBar()->showMessage(qtconv::ToQString(StringTable::Get(ids::IdleMessage)));
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::ApplyTheme(int theme) {
    if (!InstallTheme(theme))
        return;
    // Floating bars are windows of their own and need the new look too.
    for (QWidget* widget : QApplication::topLevelWidgets())
        widget->update();
    if (centralWidget())
        centralWidget()->updateGeometry();
    update();
}

void CMainFrame::CreateViews() {
    const QFont& font = m_app.GetUIFont();
    m_pEntriesView = new CViewByDate(this, this);
    setCentralWidget(m_pEntriesView);
    m_pSummaryView->OnInitialUpdate(font);
    m_pSideBarView->OnInitialUpdate(font);
    m_pEntriesView->OnInitialUpdate(font);
    m_pCustomViewsBar->insertWidget(m_pDatePickerSlot, m_pEntriesView->GetDatePicker())
        ->setObjectName(QStringLiteral("cmd%1").arg(cmd::DatePicker));
    m_pCustomViewsBar->removeAction(m_pDatePickerSlot);
    m_pDatePickerSlot = nullptr;
    // The search box has a bar of its own, beside the timer's, where it is never pushed out of
    // sight; it stands for the Find command (Ctrl+F), which puts the focus into it.
    m_pSearchBar = new QToolBar(QStringLiteral("Search"), this);
    m_pSearchBar->setObjectName(QStringLiteral("toolBarSearch"));
    m_pSearchBar->addWidget(m_pEntriesView->GetSearchBar())->setData(cmd::Find);
    addToolBar(Qt::TopToolBarArea, m_pSearchBar);
    connect(m_pEntriesView, &CViewByDate::selectionChanged, this, &CMainFrame::UpdateCommandUI);
    connect(m_pEntriesView, &CViewByDate::periodChanged, this, &CMainFrame::UpdateCommandUI);
    connect(m_pSideBarView->GetTreeCtrl(), &QTreeWidget::itemSelectionChanged, this, &CMainFrame::UpdateCommandUI);
    m_activePane = Pane::Entries;
    m_pEntriesView->GetListCtrl()->setFocus();
    m_pTimer->Restore();
    // The timer's pickers follow the clients, projects and categories as they change.
    connect(m_pSideBarView, &CViewClientsProjectsSideBar::filled, m_pTimer->ToolBar(), &CTimerToolBar::FillChoices);
    UpdateCommandUI();
}

void CMainFrame::SetFilterPane(bool active, const QString& text) {
    m_pFilterPane->setFrameStyle(active ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
    m_pFilterPane->setText(text);
}

void CMainFrame::SetRangePaneText(const QString& text) {
    m_pRangePane->setFixedWidth(statusBar()->fontMetrics().horizontalAdvance(text) + 10 +
                                2 * m_pRangePane->frameWidth());
    m_pRangePane->setText(text);
}

void CMainFrame::SetActivePane(Pane pane) {
    m_activePane = pane;
    UpdateCommandUI();
}

void CMainFrame::OnFocusChanged(QWidget*, QWidget* now) {
    if (!now)
        return;
    if (m_pEntriesView && m_pEntriesView->isAncestorOf(now))
        SetActivePane(Pane::Entries);
    else if (m_pSideBarView && m_pSideBarView->isAncestorOf(now))
        SetActivePane(Pane::SideBar);
    else if (m_pSummaryView && m_pSummaryView->isAncestorOf(now))
        SetActivePane(Pane::Summary);
}

void CMainFrame::RefreshAll() {
    if (m_pSideBarView) {
        m_pSideBarView->ClearPendingSelection();
        m_pSideBarView->Fill();
    }
    if (m_pEntriesView)
        m_pEntriesView->Refresh(0);
    if (CReportWindow* report = GetReportWindow()) {
        report->SetFirstDayOfWeek(m_app.m_nFirstDayOfWeek);   // the Options may have changed it
        report->Rebuild();
    }
}
