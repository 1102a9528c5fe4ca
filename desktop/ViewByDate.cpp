#include "desktop/ViewByDate.h"

#include <cstdint>
#include <cstdlib>
#include <functional>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QVBoxLayout>

#include "biz/DateTimeFormatter.h"
#include "biz/EntryMatcher.h"
#include "biz/EntrySearch.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/RecordNames.h"
#include "biz/SummaryData.h"
#include "desktop/CommandIds.h"
#include "desktop/DialogBridge.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/ToolbarDatePicker.h"
#include "desktop/ViewSummary.h"
#include "platform/Locale.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/DatePeriod.h"
#include "ui/shared/EntryBulkActions.h"
#include "ui/shared/EntryRows.h"
#include "ui/shared/Icons.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/ListLayout.h"
#include "ui/shared/PopupMenu.h"
#include "ui/shared/TypingPause.h"

namespace {

constexpr int kColumnDate = 0;
constexpr int kColumnDescription = 2;

// Escape in the search box clears the search.
class EscapeClears : public QObject {
public:
    EscapeClears(QObject* parent, std::function<void()> clear) : QObject(parent), m_clear(std::move(clear)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_clear();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_clear;
};

CString ShortDate(const COleDateTime& date) {
    const Locale& locale = Locale::UserDefault();
    return locale.FormatDate(date, locale.shortDatePicture);
}

COleDateTime FromQDate(const QDate& date) { return COleDateTime(date.year(), date.month(), date.day(), 0, 0, 0); }

const Library* ResLibrary() {
    const CQuillmarApp* app = GetQuillmarApp();
    return app ? app->GetResourceLibrary() : nullptr;
}

}   // namespace

CViewByDate::CViewByDate(CMainFrame* frame, QWidget* parent)
    : QWidget(parent), m_pFrame(frame), m_list(new CListCtrlEx(this)),
      m_filter(std::make_unique<CProjectItemFilter>()), m_summary(std::make_unique<CSummaryData>()),
      m_dtAnchor(COleDateTime::GetCurrentTime()) {
    setObjectName(QStringLiteral("viewByDate"));
    m_list->setObjectName(QStringLiteral("entriesList"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CViewByDate::selectionChanged);
    connect(m_list, &CListCtrlEx::rowDoubleClicked, this, [this](int) { OnEdit(); });
    connect(m_list, &CListCtrlEx::deleteKeyPressed, this, &CViewByDate::OnDelete);
    connect(m_list, &CListCtrlEx::contextMenuWanted, this, &CViewByDate::ShowContextMenu);
    connect(m_list, &CListCtrlEx::sortRequested, this, &CViewByDate::OnSortColumn);
    connect(m_list, &CListCtrlEx::escapePressed, this, [this] {
        if (IsSearching())
            ClearSearch();
    });
}

CViewByDate::~CViewByDate() { SaveColumnState(); }

void CViewByDate::OnInitialUpdate(const QFont& uiFont) {
    m_list->CreateFonts(uiFont);
    SetupColumns();
    // Dates, codes, durations and amounts are never cut; the project yields to the description
    // when room is short, and the description takes whatever is left.
    using Fit = CListCtrlEx::ColumnFit;
    for (int column : {0, 3, 4, 5})
        m_list->SetColumnFit(column, Fit::Content);
    m_list->SetColumnFit(1, Fit::Shrinkable);
    m_list->SetColumnFit(kColumnDescription, Fit::Stretch);
    m_rowIcons[0] = ResLibraryIcon(ResLibrary(), 15);
    m_rowIcons[1] = ResLibraryIcon(ResLibrary(), 14);
    m_rowIcons[2] = ResLibraryIcon(ResLibrary(), 16);

    m_datePicker = new CToolbarDatePicker();
    m_datePicker->setObjectName(QStringLiteral("datePicker"));
    m_datePicker->setDisplayFormat(QStringLiteral("ddd, MMM d, yyyy"));
    m_datePicker->setCalendarPopup(true);
    m_datePicker->setFont(uiFont);
    m_datePicker->setFixedSize(130, 22);
    m_datePicker->setMinimumDate(QDate(100, 1, 1));
    SetPickerDate(m_dtAnchor);
    connect(m_datePicker, &CToolbarDatePicker::datePicked, this, &CViewByDate::OnDatePicked);

    m_list->SetMultiSelect(true);
    m_list->SetSortable(true);
    CreateSearchBar(uiFont);
    m_layout = new CListLayout(CQuillmarApp::kSettingsKey, *m_list, this);
    m_layout->Load();
    SetPeriodType(CDatePeriod::StoredType(CQuillmarApp::kSettingsKey));
}

void CViewByDate::CreateSearchBar(const QFont& uiFont) {
    m_searchBar = new QWidget();
    m_searchBar->setObjectName(QStringLiteral("searchBar"));
    auto* layout = new QHBoxLayout(m_searchBar);
    layout->setContentsMargins(4, 0, 4, 0);
    m_searchBox = new QLineEdit(m_searchBar);
    m_searchBox->setObjectName(QStringLiteral("searchBox"));
    m_searchBox->setPlaceholderText(QStringLiteral("Search (Ctrl+F)"));
    m_searchBox->setClearButtonEnabled(true);
    m_searchBox->setFont(uiFont);
    // Wide enough for a few words, and no wider: the timer's description shares the row.
    m_searchBox->setMinimumWidth(160);
    m_searchBox->setMaximumWidth(260);
    m_searchBox->installEventFilter(new EscapeClears(m_searchBox, [this] { ClearSearch(); }));
    m_allDatesBox = new QCheckBox(QStringLiteral("All dates"), m_searchBar);
    m_allDatesBox->setObjectName(QStringLiteral("searchAllDates"));
    m_allDatesBox->setFont(uiFont);
    layout->addWidget(m_searchBox);
    layout->addWidget(m_allDatesBox);
    m_searchTyping = new CTypingPause(
        *m_searchBox, [this] { RunSearch(); }, this);
    connect(m_allDatesBox, &QCheckBox::toggled, this, [this] {
        if (IsSearching())
            m_searchTyping->RunNow();
    });
    m_searchPane = new QLabel(this);
    m_searchPane->setObjectName(QStringLiteral("statusSearchPane"));
    m_searchPane->hide();
    if (m_pFrame)
        m_pFrame->statusBar()->insertPermanentWidget(0, m_searchPane);
}

void CViewByDate::SaveColumnState() {
    if (m_layout)
        m_layout->SaveColumns();
}

int CViewByDate::SortColumn() const { return m_layout ? m_layout->SortColumn() : 0; }

bool CViewByDate::IsSortAscending() const { return !m_layout || m_layout->IsSortAscending(); }

void CViewByDate::OnSortColumn(int column) {
    if (!m_layout)
        return;
    m_layout->SortBy(column);
    if (const int row = m_list->GetSelectedRow(); row >= 0)
        m_list->AsListCtrl().EnsureVisible(row, false);
}

void CViewByDate::ResetListLayout() {
    if (!m_layout)
        return;
    m_layout->Reset();
    ApplyPeriodColumn();
}

bool CViewByDate::IsSearching() const {
    return m_searchBox && !CEntryMatcher(qtconv::FromQString(m_searchBox->text())).IsEmpty();
}

void CViewByDate::OnFind() {
    if (!m_searchBox)
        return;
    m_searchBox->setFocus(Qt::ShortcutFocusReason);
    m_searchBox->selectAll();
}

void CViewByDate::ClearSearch() {
    if (!m_searchBox)
        return;
    const bool had = !m_searchBox->text().isEmpty();
    {
        const QSignalBlocker quiet(m_searchBox);
        m_searchBox->clear();
    }
    // Emptied on purpose, the whole list comes back at once, not after the typing pause.
    m_searchTyping->Cancel();
    if (had)
        RunSearch();
    if (had || m_searchBox->hasFocus())
        m_list->setFocus(Qt::OtherFocusReason);
}

void CViewByDate::SetSearchPause(int milliseconds) {
    if (m_searchTyping)
        m_searchTyping->SetPause(milliseconds);
}

void CViewByDate::RunSearch() {
    Refresh(0);
    ApplyPeriodColumn();
}

void CViewByDate::ShowMatchCount() {
    if (!m_searchPane)
        return;
    if (!IsSearching()) {
        m_searchPane->hide();
        m_searchPane->clear();
        return;
    }
    const int count = m_list->topLevelItemCount();
    const QString where = m_allDatesBox->isChecked() ? QStringLiteral(" (all dates)") : QString();
    m_searchPane->setText(count == 1 ? QStringLiteral("1 entry matches%1").arg(where)
                                     : QStringLiteral("%1 entries match%2").arg(count).arg(where));
    m_searchPane->show();
}

void CViewByDate::SetupColumns() {
    CListCtrl& list = m_list->AsListCtrl();
    list.InsertColumn(0, GetResString(res::ColDay, 1), LVCFMT_LEFT, 50);
    list.InsertColumn(1, GetResString(res::ColProject, 1), LVCFMT_LEFT, 130);
    list.InsertColumn(2, GetResString(res::ColDescription, 1), LVCFMT_LEFT, 150);
    list.InsertColumn(3, GetResString(res::ColCategory, 1), LVCFMT_LEFT, 70);
    list.InsertColumn(4, GetResString(res::ColDuration, 1), LVCFMT_LEFT, 60);
    list.InsertColumn(5, GetResString(res::ColAmount, 1), LVCFMT_RIGHT, 70);
}

void CViewByDate::SetPickerDate(const COleDateTime& date) {
    if (!m_datePicker || date.GetStatus() != COleDateTime::valid)
        return;
    m_datePicker->SetDateQuietly(QDate(date.GetYear(), date.GetMonth(), date.GetDay()));
}

void CViewByDate::SetPeriodType(int type) {
    if (type < PeriodDay || type > PeriodCustom)
        return;
    m_nPeriodType = type;
    RecomputePeriod();
    CDatePeriod::StoreType(CQuillmarApp::kSettingsKey, type);
    ApplyPeriodColumn();
    emit periodChanged();
}

void CViewByDate::ApplyPeriodColumn() {
    // Found across all dates, entries show their dates rather than weekdays.
    const bool week = m_nPeriodType == PeriodWeek && !(IsSearching() && m_allDatesBox->isChecked());
    m_list->headerItem()->setText(kColumnDate, qtconv::ToQString(GetResString(week ? res::ColDay : res::ColDate, 1)));
    m_list->FitColumns();
}

void CViewByDate::RecomputePeriod() {
    if (m_datePicker)
        m_dtAnchor = FromQDate(m_datePicker->date());
    const CQuillmarApp* app = GetQuillmarApp();
    // Custom keeps the range the date range dialog set.
    CDatePeriod::Compute(m_nPeriodType, m_dtAnchor, app ? app->m_nFirstDayOfWeek : 2, m_filter->m_dtStart,
                         m_filter->m_dtEnd);
    m_dtAnchor = m_filter->m_dtStart;
    SetPickerDate(m_dtAnchor);
    Refresh(0);
}

void CViewByDate::GoToDate(const COleDateTime& date) {
    SetPickerDate(date);
    m_dtAnchor = date;
    RecomputePeriod();
}

void CViewByDate::OnCustomDates() {
    COleDateTime start = m_filter->m_dtStart;
    COleDateTime end = m_filter->m_dtEnd;
    if (dialogs::SelectDateRange(start, end) != 1)
        return;
    m_filter->m_dtStart = GetDatePortion(start);
    m_filter->m_dtEnd = GetDatePortion(end);
    SetPeriodType(PeriodCustom);
}

void CViewByDate::OnPrevious() {
    if (IsNavigationEnabled())
        GoToDate(CDatePeriod::Previous(m_nPeriodType, m_dtAnchor));
}

void CViewByDate::OnNext() {
    if (IsNavigationEnabled())
        GoToDate(CDatePeriod::Next(m_nPeriodType, m_dtAnchor));
}

void CViewByDate::OnToday() {
    if (!IsNavigationEnabled())
        return;
    GoToDate(COleDateTime::GetCurrentTime());
}

void CViewByDate::OnDatePicked() {
    if (!IsNavigationEnabled())
        return;
    RecomputePeriod();
}

void CViewByDate::ApplyListSettings() {
    const CQuillmarApp* app = GetQuillmarApp();
    m_list->m_bSwitchFonts = app && app->m_bStrikeOutPaidItems;
    m_list->m_bColorAltRows = app && app->m_bColorAltRows;
    unsigned style = LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP;
    if (app && app->m_bGridlines)
        style |= LVS_EX_GRIDLINES;
    m_list->AsListCtrl().SetExtendedStyle(style);
    if (m_datePicker)
        m_datePicker->SetFirstDayOfWeek(app ? app->m_nFirstDayOfWeek : 2);
}

void CViewByDate::AddRow(CProjectItem& entry) {
    CListCtrl& list = m_list->AsListCtrl();
    const bool weekdays = m_nPeriodType == PeriodWeek && !(IsSearching() && m_allDatesBox->isChecked());
    const int row = list.InsertItem(list.GetItemCount(), CEntryRows::DayText(entry, weekdays));
    m_list->topLevelItem(row)->setIcon(0, m_rowIcons[CEntryRows::ImageIndex(entry)]);
    const CString project = FormatProjectName(entry.get_ProjectRef());
    list.SetItemText(row, 1, project);
    list.SetItemText(row, 2, entry.get_DescriptionEx());
    const bool time = entry.get_ItemType() == CProjectItem::ItemType_Time;
    CString category;
    if (time) {
        category = CEntryRows::CategoryCode(entry);
        list.SetItemText(row, 3, category);
        list.SetItemText(row, 4, CDateTimeFormatter::FormatDuration(entry.get_DurationInMinutes()));
    }
    list.SetItemText(row, 5, FormatMoney(entry.get_BillAmount()));
    CEntryRows::SetRowEntry(*m_list, row, entry);
    m_list->SetSortKey(row, 0, entry.get_ItemDate().m_dt);
    m_list->SetSortKey(row, 1, qtconv::ToQString(project));
    m_list->SetSortKey(row, 2, qtconv::ToQString(entry.get_DescriptionEx()));
    m_list->SetSortKey(row, 3, qtconv::ToQString(category));
    m_list->SetSortKey(row, 4, time ? entry.get_DurationInMinutes() : -1);
    m_list->SetSortKey(row, 5, static_cast<double>(entry.get_BillAmount()));
}

void CViewByDate::Refresh(int idToSelect) {
    m_list->setUpdatesEnabled(false);
    m_list->AsListCtrl().DeleteAllItems();
    ApplyListSettings();
    m_summary->Reset();
    FillRows();
    m_list->SortRows(SortColumn(), IsSortAscending());
    m_list->FitColumns();
    m_list->setUpdatesEnabled(true);
    m_list->viewport()->update();
    if (idToSelect != 0)
        CEntryRows::SelectEntry(*m_list, idToSelect);
    UpdateStatusAndSummary();
    ShowMatchCount();
    emit selectionChanged();
}

void CViewByDate::FillRows() {
    m_found.reset();
    if (!IsSearching()) {
        CEntryRows::ForEachListed(*m_filter, *m_summary, [this](CProjectItem& entry) { AddRow(entry); });
        return;
    }
    const CRecordNames names;
    const CEntryMatcher matcher(qtconv::FromQString(m_searchBox->text()));
    const CEntrySearch found(*m_filter, matcher, m_allDatesBox->isChecked(), names);
    if (m_allDatesBox->isChecked())
        m_found.emplace();
    for (const auto& entry : found) {
        AddRow(*entry);
        m_summary->AddItem(entry.get());
        if (m_found)
            m_found->Add(*entry);
    }
}

void CViewByDate::RefreshSelecting(const std::vector<int>& ids) {
    Refresh(ids.empty() ? 0 : ids.front());
    if (ids.size() > 1)
        CEntryRows::AlsoSelectEntries(*m_list, std::vector<int>(ids.begin() + 1, ids.end()));
}

QString CViewByDate::RangeText() const {
    return qtconv::ToQString(ShortDate(m_filter->m_dtStart) + u" - " + ShortDate(m_filter->m_dtEnd));
}

void CViewByDate::UpdateStatusAndSummary() {
    static const unsigned titles[] = {res::TitleDay, res::TitleWeek, res::TitleMonth, res::TitleCustom};
    if (m_pFrame)
        m_pFrame->SetRangePaneText(RangeText());
    m_summary->m_strTitle = GetResString(titles[m_nPeriodType], 1);
    m_summary->m_dtStart = m_filter->m_dtStart;
    m_summary->m_dtEnd = m_filter->m_dtEnd;
    if (m_found)
        m_found->ApplyTo(*m_summary);
    if (m_pFrame && m_pFrame->GetSummaryView())
        m_pFrame->GetSummaryView()->Display(*m_summary);
}

void CViewByDate::OnFilterData() {
    if (!m_bFilterActive) {
        if (!dialogs::EditFilter(*m_filter))
            return;
        if (m_pFrame)
            m_pFrame->SetFilterPane(true, qtconv::ToQString(GetResString(res::FilterOn, 1)));
        m_filter->m_bActive = 1;
        m_bFilterActive = true;
        Refresh(0);
        return;
    }
    if (m_pFrame)
        m_pFrame->SetFilterPane(false, QString());
    m_filter->Reset();
    AfxMessageBox(GetResString(res::FilterOff, 1), MB_ICONINFORMATION);
    m_bFilterActive = false;
    Refresh(0);
}

int CViewByDate::SelectedEntryId() const { return CEntryRows::SelectedEntryId(*m_list); }

bool CViewByDate::CanEditOrDelete() const { return SelectedEntryId() != 0; }

std::vector<int> CViewByDate::SelectedEntryIds() const { return CEntryRows::SelectedEntryIds(*m_list); }

bool CViewByDate::CanMarkAsPaid() const {
    // Paid rows carry a negative value; any other selected row can still be marked.
    for (int row : m_list->GetSelectedRows()) {
        if (m_list->GetRowValue(row) > 0)
            return true;
    }
    return false;
}

bool CViewByDate::CanMarkAsBilled() const { return CanMarkAsPaid(); }

void CViewByDate::OnEdit() {
    CProjectItem entry;
    if (CEntryRows::LoadSelected(*m_list, entry) && dialogs::EditProjectItem(entry))
        Refresh(entry.get_ID());
}

void CViewByDate::OnMarkAsPaid() {
    if (!CanMarkAsPaid())
        return;
    const std::vector<int> ids = SelectedEntryIds();
    if (!CEntryBulkActions::Run(CEntryBulkActions::Action::MarkPaid, ids).changed.empty())
        RefreshSelecting(ids);
}

void CViewByDate::OnMarkAsBilled() {
    if (!CanMarkAsBilled())
        return;
    const std::vector<int> ids = SelectedEntryIds();
    if (!CEntryBulkActions::Run(CEntryBulkActions::Action::MarkBilled, ids).changed.empty())
        RefreshSelecting(ids);
}

void CViewByDate::OnDelete() {
    const std::vector<int> rows = m_list->GetSelectedRows();
    if (rows.size() > 1) {
        // The entry above the first selected row stays selected when it is not among them.
        const int above = rows.front() > 0 ? m_list->GetRowValue(rows.front() - 1) : 0;
        const auto outcome = CEntryBulkActions::Run(CEntryBulkActions::Action::Delete, SelectedEntryIds());
        if (!outcome.changed.empty())
            RefreshSelecting(outcome.unchanged.empty() ? std::vector<int>{above} : outcome.unchanged);
        return;
    }
    const int row = CEntryRows::DeleteSelected(*m_list);
    if (row < 0)
        return;
    // Refilled, so the quick summary and the status texts lose the deleted entry's totals too;
    // the entry above the deleted one (or the new first) stays selected.
    const int next = row > 0 ? row - 1 : (m_list->topLevelItemCount() > 0 ? 0 : -1);
    Refresh(next >= 0 ? m_list->GetRowValue(next) : 0);
}

void CViewByDate::ShowContextMenu(const QPoint& globalPos) {
    if (m_list->GetSelectedRow() < 0 || !m_pFrame)
        return;
    QMenu menu(m_pFrame);
    menu.setObjectName(QStringLiteral("entriesContextMenu"));
    m_pFrame->UpdateCommandUI();
    auto addCommand = [&](const QString& text, unsigned id, const char* name) {
        QAction* action = menu.addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setData(id);
        action->setEnabled(m_pFrame->CommandAction(id)->isEnabled());
    };
    addCommand(QStringLiteral("&Edit"), cmd::EditProperties, "contextEdit");
    addCommand(QStringLiteral("&Mark as Paid"), cmd::MarkAsPaid, "contextMarkAsPaid");
    addCommand(QStringLiteral("Mark as &Billed"), cmd::MarkAsBilled, "contextMarkAsBilled");
    menu.addSeparator();
    addCommand(QStringLiteral("&Delete"), cmd::EditDelete, "contextDelete");
    QAction* chosen = RunPopupMenu(menu, globalPos);
    if (chosen && chosen->isEnabled())
        m_pFrame->ExecuteCommand(chosen->data().toUInt());
}
