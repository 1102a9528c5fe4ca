#include "device/MainFrame.h"

#include <QAction>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "biz/Client.h"
#include "biz/DataHelper.h"
#include "biz/Helpers.h"
#include "biz/Project.h"
#include "biz/ProjectItem.h"
#include "device/CommandIds.h"
#include "device/DeviceDialogLook.h"
#include "device/QuillmarApp.h"
#include "device/TimerCommands.h"
#include "device/ViewByDate.h"
#include "device/dialogs/DlgPairDesktop.h"
#include "device/dialogs/ManageClientsProjects.h"
#include "device/dialogs/QuickSummary.h"
#include "ui/qt/ModalDialog.h"
#include "ui/qt/QtConvert.h"
#include "ui/qt/SingleInstance.h"
#include "ui/qt/WindowMessageNotifier.h"
#include "ui/shared/Icons.h"
#include "ui/shared/WriteCheck.h"
#include "ui/shared/dialogs/EditClient.h"
#include "ui/shared/dialogs/EditOptions.h"
#include "ui/shared/dialogs/EditProject.h"
#include "ui/shared/dialogs/EditProjectItem.h"
#include "ui/shared/dialogs/ManageCategories.h"

namespace {
constexpr int kDeviceWidth = 240;
constexpr int kDeviceHeight = 320;
}   // namespace

CMainFrame::CMainFrame(CQuillmarApp& app, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_view(new CViewByDate(this)) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(qtconv::ToQString(CQuillmarApp::GetWindowTitle()));
    setWindowIcon(ResLibraryIcon(app.GetResourceLibrary(), devicon::TimeEntry));
    setFont(app.GetDialogFont());
    setCentralWidget(m_view);
    CreateCommandBar();
    m_timer = new CTimerCommands(this, findChild<QMenu*>(QStringLiteral("toolsMenu")), *m_view);
    resize(kDeviceWidth, kDeviceHeight);
    m_windowMessages = std::make_unique<CWindowMessageNotifier>(
        CQuillmarApp::GetWindowTitle(), [this](const WindowMessage& message) { OnWindowMessage(message); });
    connect(m_view, &CViewByDate::periodChanged, this, &CMainFrame::UpdateViewMenu);
    connect(m_view, &CViewByDate::filterChanged, this, &CMainFrame::UpdateViewMenu);
    CreateSyncStateLine();
}

void CMainFrame::CreateSyncStateLine() {
    m_syncState = new QLabel(this);
    m_syncState->setObjectName(QStringLiteral("syncStateLine"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(m_syncState, 1);
    m_folderWatch = new QFileSystemWatcher(this);
    if (CDataHelper* store = GetCurrDataHelper(); store && !store->GetDataFilePath().IsEmpty())
        m_folderWatch->addPath(QFileInfo(qtconv::ToQString(store->GetDataFilePath())).absolutePath());
    connect(m_folderWatch, &QFileSystemWatcher::directoryChanged, this, &CMainFrame::UpdateSyncState);
    UpdateSyncState();
}

void CMainFrame::UpdateSyncState() { m_syncState->setText(CDlgPairDesktop::SyncStateLine()); }

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::AddCommand(QMenu* menu, const QString& text, unsigned id, const char* name) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
    if (menu)
        menu->addAction(action);
    return action;
}

void CMainFrame::CreateCommandBar() {
    m_commandBar = new QToolBar(QStringLiteral("Command Bar"), this);
    m_commandBar->setObjectName(QStringLiteral("commandBar"));
    m_commandBar->setMovable(false);
    m_commandBar->setFloatable(false);
    m_commandBar->setIconSize(QSize(16, 16));
    m_commandBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Three menus and four buttons share the 240 pixels of the handheld's bar.
    // Each is a whole tap target.
    m_commandBar->setStyleSheet(QStringLiteral("QToolBar { spacing: 0px; padding: 0px; }"
                                               "QToolButton { padding: 1px 2px; margin: 0px; min-width: %1px; "
                                               "min-height: %1px; }")
                                    .arg(DeviceTapTarget() - 6));
    addToolBar(Qt::BottomToolBarArea, m_commandBar);
    m_commandBar->setMinimumHeight(DeviceTapTarget());

    auto addMenu = [this](const QString& title, const char* name) {
        auto* menu = new QMenu(title, this);
        menu->setObjectName(QLatin1String(name));
        auto* button = new QToolButton(m_commandBar);
        button->setObjectName(QLatin1String(name) + QStringLiteral("Button"));
        button->setText(title);
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
        m_commandBar->addWidget(button);
        return menu;
    };
    QMenu* newMenu = addMenu(QStringLiteral("New"), "newMenu");
    AddCommand(newMenu, QStringLiteral("Client"), devcmd::NewClient, "newClient");
    AddCommand(newMenu, QStringLiteral("Project"), devcmd::NewProject, "newProject");

    QMenu* viewMenu = addMenu(QStringLiteral("View"), "viewMenu");
    const struct {
        const char* text;
        unsigned id;
        const char* name;
    } periods[] = {{"Day", devcmd::PeriodDay, "periodDay"},
                   {"Week", devcmd::PeriodWeek, "periodWeek"},
                   {"Month", devcmd::PeriodMonth, "periodMonth"},
                   {"Custom Dates...", devcmd::PeriodCustom, "periodCustom"}};
    for (const auto& period : periods)
        AddCommand(viewMenu, QString::fromLatin1(period.text), period.id, period.name)->setCheckable(true);
    viewMenu->addSeparator();
    AddCommand(viewMenu, QStringLiteral("Filter Data..."), devcmd::FilterData, "filterData")->setCheckable(true);
    AddCommand(viewMenu, QStringLiteral("Find..."), devcmd::Find, "find");

    QMenu* toolsMenu = addMenu(QStringLiteral("Tools"), "toolsMenu");
    AddCommand(toolsMenu, QStringLiteral("Manage Clients and Projects"), devcmd::ManageClientsProjects,
               "manageClientsProjects");
    AddCommand(toolsMenu, QStringLiteral("Manage Categories"), devcmd::ManageCategories, "manageCategories");
    AddCommand(toolsMenu, QStringLiteral("Options"), devcmd::Options, "options");
    AddCommand(toolsMenu, QStringLiteral("Pair with Desktop..."), devcmd::PairDesktop, "pairDesktop");
    toolsMenu->addSeparator();
    AddCommand(toolsMenu, QStringLiteral("Exit"), devcmd::Exit, "exit");

    const struct {
        unsigned icon;
        unsigned tooltip;
        unsigned id;
        const char* name;
    } buttons[] = {{devicon::TimeEntry, devres::TipNewTime, devcmd::NewTimeEntry, "newTimeEntry"},
                   {devicon::ExpenseEntry, devres::TipNewExpense, devcmd::NewExpenseEntry, "newExpenseEntry"},
                   {devicon::MileageEntry, devres::TipNewMileage, devcmd::NewMileageEntry, "newMileageEntry"},
                   {devicon::QuickSummary, devres::QuickSummary, devcmd::QuickSummary, "quickSummary"}};
    for (const auto& button : buttons) {
        const QString tip = qtconv::ToQString(GetResString(button.tooltip, 1));
        QAction* action = AddCommand(nullptr, tip, button.id, button.name);
        action->setIcon(ResLibraryIcon(m_app.GetResourceLibrary(), button.icon));
        action->setToolTip(tip);
        m_commandBar->addAction(action);
    }
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // A larger screen gets a larger font, and the layout follows it.
    if (!m_app.FitFontToWindow(size()))
        return;
    setFont(m_app.GetDialogFont());
    // The menu buttons carry a style sheet of their own, which keeps them from taking the frame's font.
    for (QToolButton* button : m_commandBar->findChildren<QToolButton*>())
        button->setFont(m_app.GetDialogFont());
    const int icon = m_app.GetDialogFont().pixelSize() * 16 / CQuillmarApp::kBaseFontPixels;
    m_commandBar->setIconSize(QSize(icon, icon));
    m_view->OnFontChanged();
}

void CMainFrame::OnInitialUpdate() {
    m_view->OnInitialUpdate();
    m_timer->Restore();
    UpdateViewMenu();
}

QAction* CMainFrame::CommandAction(unsigned id) const {
    for (QAction* action : findChildren<QAction*>()) {
        if (action->data().toUInt() == id && !action->objectName().isEmpty())
            return action;
    }
    return nullptr;
}

bool CMainFrame::IsListeningForSync() const { return m_windowMessages && m_windowMessages->IsOpen(); }

void CMainFrame::UpdateViewMenu() {
    const unsigned periods[] = {devcmd::PeriodDay, devcmd::PeriodWeek, devcmd::PeriodMonth, devcmd::PeriodCustom};
    for (int type = 0; type < 4; ++type) {
        if (QAction* action = CommandAction(periods[type]))
            action->setChecked(m_view->GetPeriodType() == type);
    }
    if (QAction* filter = CommandAction(devcmd::FilterData))
        filter->setChecked(m_view->IsFilterActive());
}

bool CMainFrame::ExecuteCommand(unsigned id) {
    switch (id) {
    case devcmd::NewClient: OnNewClient(); break;
    case devcmd::NewProject: OnNewProject(); break;
    case devcmd::NewTimeEntry: OnNewEntry(CProjectItem::ItemType_Time); break;
    case devcmd::NewExpenseEntry: OnNewEntry(CProjectItem::ItemType_Expense); break;
    case devcmd::NewMileageEntry: OnNewEntry(CProjectItem::ItemType_Mileage); break;
    case devcmd::PeriodDay: m_view->SetPeriodType(CViewByDate::PeriodDay); break;
    case devcmd::PeriodWeek: m_view->SetPeriodType(CViewByDate::PeriodWeek); break;
    case devcmd::PeriodMonth: m_view->SetPeriodType(CViewByDate::PeriodMonth); break;
    case devcmd::PeriodCustom: m_view->SetPeriodType(CViewByDate::PeriodCustom); break;
    case devcmd::FilterData: m_view->OnFilterData(); break;
    case devcmd::QuickSummary: OnQuickSummary(); break;
    case devcmd::ManageClientsProjects: OnManageClientsProjects(); break;
    case devcmd::ManageCategories: OnManageCategories(); break;
    case devcmd::Options: OnOptions(); break;
    case devcmd::PairDesktop: OnPairDesktop(); break;
    case devcmd::Exit: close(); break;
    case devcmd::Edit: m_view->OnEdit(); break;
    case devcmd::Delete: m_view->OnDelete(); break;
    case devcmd::MarkAsPaid: m_view->OnMarkAsPaid(); break;
    case devcmd::MarkAsBilled: m_view->OnMarkAsBilled(); break;
    case devcmd::Find: m_view->OnFind(); break;
    default: return false;
    }
    // A checked menu item follows the view, whatever the command did (or a dialog cancelled).
    UpdateViewMenu();
    return true;
}

void CMainFrame::OnNewClient() {
    CClient client;
    EditClient(&client);
}

void CMainFrame::OnNewProject() {
    CProject project;
    EditProject(&project);
}

void CMainFrame::OnNewEntry(int itemType) {
    CProjectItem entry;
    entry.set_ItemType(static_cast<CProjectItem::ItemType>(itemType));
    entry.set_ItemDate(m_view->NewEntryDate());
    if (EditProjectItem(&entry))
        m_view->Refresh(entry.get_ID());
}

void CMainFrame::OnQuickSummary() { RunQuickSummary(*m_view); }

void CMainFrame::OnManageClientsProjects() {
    ManageClientsProjects();
    // The rows show project and client names, which the dialog may have changed.
    m_view->Refresh(m_view->SelectedEntryId());
}

void CMainFrame::OnManageCategories() {
    ManageCategories(nullptr);
    // The rows show category codes, which the dialog may have changed.
    m_view->Refresh(m_view->SelectedEntryId());
}

void CMainFrame::OnOptions() { EditOptions(); }

void CMainFrame::OnPairDesktop() {
    CDlgPairDesktop dialog(this);
    RunModal(dialog);
}

void CMainFrame::OnWindowMessage(const WindowMessage& message) {
    if (message.message == kSyncDoneMessage)
        OnSyncDone();
    else if (message.message == CSingleInstance::kRestoreAndRaiseMessage)
        CSingleInstance::BringForward(*this);
}

void CMainFrame::OnSyncDone() {
    CDataHelper* store = GetCurrDataHelper();
    if (store && !store->Initialize())
        CWriteCheck::ReportReloadFailure();
    CDlgPairDesktop::NoteSyncDone(COleDateTime::GetCurrentTime());
    UpdateSyncState();
    m_view->Refresh(0);
}
