#include "device/ViewByDate.h"

#include <algorithm>
#include <cstdlib>

#include <QCalendarWidget>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

#include "biz/DateTimeFormatter.h"
#include "biz/EntryMatcher.h"
#include "biz/EntrySearch.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/RecordNames.h"
#include "biz/SummaryData.h"
#include "device/CommandIds.h"
#include "device/DeviceDialogLook.h"
#include "device/EntriesList.h"
#include "device/QuillmarApp.h"
#include "device/TapAndHold.h"
#include "device/TitleStrip.h"
#include "platform/Locale.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/DatePeriod.h"
#include "ui/shared/EntryBulkActions.h"
#include "ui/shared/EntryRows.h"
#include "ui/shared/Icons.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/PopupMenu.h"
#include "ui/shared/TypingPause.h"
#include "ui/shared/dialogs/EditFilter.h"
#include "ui/shared/dialogs/EditProjectItem.h"
#include "ui/shared/dialogs/SelectDateRange.h"

namespace {

const Library* ResLibrary() {
    const CQuillmarApp* app = GetQuillmarApp();
    return app ? app->GetResourceLibrary() : nullptr;
}

QFont DialogFont(const QWidget& widget) {
    const CQuillmarApp* app = GetQuillmarApp();
    return app ? app->GetDialogFont() : widget.font();
}

QToolButton* MakeNavigationButton(QWidget* parent, unsigned icon, const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(ResLibraryIcon(ResLibrary(), icon));
    button->setAutoRaise(true);
    button->setFixedSize(DeviceTapTarget(), DeviceTapTarget());
    return button;
}

}   // namespace

CViewByDate::CViewByDate(QWidget* parent)
    : QWidget(parent), m_list(new CEntriesList(this)), m_tapAndHold(new CTapAndHold(m_list->viewport())),
      m_previous(MakeNavigationButton(this, devicon::PreviousPeriod, "previousButton")),
      m_next(MakeNavigationButton(this, devicon::NextPeriod, "nextButton")),
      m_today(MakeNavigationButton(this, devicon::Today, "todayButton")),
      m_filter(std::make_unique<CProjectItemFilter>()), m_summary(std::make_unique<CSummaryData>()),
      m_dtAnchor(COleDateTime::GetCurrentTime()) {
    setObjectName(QStringLiteral("viewByDate"));
    // The period's totals below the list, and a mark there while the filter hides entries.
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("totalsLabel"));
    m_filterMark = new QLabel(tr("Filtered"), this);
    m_filterMark->setObjectName(QStringLiteral("filterMark"));
    m_filterMark->setStyleSheet(QStringLiteral("QLabel { color: white; background: #9c0000; padding: 0px 4px; }"));
    m_filterMark->hide();
    QFont bold = m_filterMark->font();
    bold.setBold(true);
    m_filterMark->setFont(bold);
    m_list->setObjectName(QStringLiteral("entriesList"));
    // Tap-and-hold replaces the desktop list's own context menu.
    m_list->m_bContextMenu = false;
    m_list->viewport()->installEventFilter(this);
    connect(m_previous, &QToolButton::clicked, this, &CViewByDate::OnPrevious);
    connect(m_next, &QToolButton::clicked, this, &CViewByDate::OnNext);
    connect(m_today, &QToolButton::clicked, this, &CViewByDate::OnToday);
    connect(m_tapAndHold, &CTapAndHold::tapped, this, &CViewByDate::OnTapAt);
    connect(m_tapAndHold, &CTapAndHold::held, this, &CViewByDate::OnHoldAt);
    connect(m_list, &CListCtrlEx::deleteKeyPressed, this, &CViewByDate::OnDelete);
    connect(m_list, &CListCtrlEx::sortRequested, this, &CViewByDate::OnSortColumn);
    connect(m_list, &CListCtrlEx::escapePressed, this, [this] {
        if (IsSearchShown())
            ClearSearch();
    });
    m_list->SetMultiSelect(true);
    m_list->SetSortable(true);
    CreateSearchLine();
}

void CViewByDate::CreateSearchLine() {
    m_searchLine = new QWidget(this);
    m_searchLine->setObjectName(QStringLiteral("searchLine"));
    auto* layout = new QHBoxLayout(m_searchLine);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(4);
    m_searchBox = new QLineEdit(m_searchLine);
    m_searchBox->setObjectName(QStringLiteral("searchBox"));
    m_searchBox->setPlaceholderText(QStringLiteral("Search"));
    m_searchBox->setClearButtonEnabled(true);
    m_searchBox->installEventFilter(this);
    m_allDatesBox = new QCheckBox(QStringLiteral("All dates"), m_searchLine);
    m_allDatesBox->setObjectName(QStringLiteral("searchAllDates"));
    layout->addWidget(m_searchBox, 1);
    layout->addWidget(m_allDatesBox);
    m_searchLine->hide();
    m_searchTyping = new CTypingPause(
        *m_searchBox, [this] { Refresh(0); }, this);
    connect(m_allDatesBox, &QCheckBox::toggled, this, [this] {
        if (IsSearching())
            m_searchTyping->RunNow();
    });
}

bool CViewByDate::IsSearchShown() const { return m_searchLine && !m_searchLine->isHidden(); }

bool CViewByDate::IsSearching() const {
    return IsSearchShown() && !CEntryMatcher(qtconv::FromQString(m_searchBox->text())).IsEmpty();
}

int CViewByDate::SearchLineHeight() const { return IsSearchShown() ? m_searchLine->sizeHint().height() : 0; }

void CViewByDate::OnFind() {
    m_searchLine->show();
    LayoutChildren();
    m_searchBox->setFocus(Qt::ShortcutFocusReason);
    m_searchBox->selectAll();
}

void CViewByDate::ClearSearch() {
    const bool had = IsSearching();
    m_searchLine->hide();
    m_searchBox->blockSignals(true);
    m_searchBox->clear();
    m_searchBox->blockSignals(false);
    m_searchTyping->Cancel();
    LayoutChildren();
    m_list->setFocus(Qt::OtherFocusReason);
    if (had)
        Refresh(0);
}

void CViewByDate::SetSearchPause(int milliseconds) { m_searchTyping->SetPause(milliseconds); }

void CViewByDate::OnSortColumn(int column) {
    if (m_layout)
        m_layout->SortBy(column);
}

int CViewByDate::SortColumn() const { return m_layout ? m_layout->SortColumn() : 0; }

bool CViewByDate::IsSortAscending() const { return !m_layout || m_layout->IsSortAscending(); }

void CViewByDate::SaveColumnState() {
    if (m_layout)
        m_layout->SaveColumns();
}

CViewByDate::~CViewByDate() { SaveColumnState(); }

void CViewByDate::OnInitialUpdate() {
    m_list->CreateFonts(DialogFont(*this));
    SetupColumns();
    m_rowIcons[0] = ResLibraryIcon(ResLibrary(), devicon::TimeEntry);
    m_rowIcons[1] = ResLibraryIcon(ResLibrary(), devicon::ExpenseEntry);
    m_rowIcons[2] = ResLibraryIcon(ResLibrary(), devicon::MileageEntry);
    m_layout = new CListLayout(CQuillmarApp::kSettingsKey, *m_list, this);
    m_layout->Load();
    SetPeriodType(CDatePeriod::StoredType(CQuillmarApp::kSettingsKey));
}

void CViewByDate::SetupColumns() {
    CListCtrl& list = m_list->AsListCtrl();
    list.InsertColumn(0, GetResString(devres::ColDay, 1), LVCFMT_LEFT, 40);
    list.InsertColumn(1, GetResString(devres::ColProject, 1), LVCFMT_LEFT, 50);
    list.InsertColumn(2, GetResString(devres::ColCategory, 1), LVCFMT_LEFT, 40);
    list.InsertColumn(3, GetResString(devres::ColDuration, 1), LVCFMT_LEFT, 30);
    list.InsertColumn(4, GetResString(devres::ColAmount, 1), LVCFMT_RIGHT, 50);
}

void CViewByDate::SetPeriodType(int type) {
    if (type < PeriodDay || type > PeriodCustom)
        return;
    HideCalendar();
    if (type == PeriodCustom) {
        COleDateTime start = m_filter->m_dtStart;
        COleDateTime end = m_filter->m_dtEnd;
        if (SelectDateRange(start, end) != 1)
            return;
        m_filter->m_dtStart = GetDatePortion(start);
        m_filter->m_dtEnd = GetDatePortion(end);
    }
    m_nPeriodType = type;
    RecomputePeriod();
    CDatePeriod::StoreType(CQuillmarApp::kSettingsKey, type);
    ApplyPeriodColumn();
    ShowNavigationButtons(type != PeriodCustom);
    emit periodChanged();
}

void CViewByDate::ApplyPeriodColumn() {
    const bool week = m_nPeriodType == PeriodWeek;
    m_list->headerItem()->setText(0, qtconv::ToQString(GetResString(week ? devres::ColDay : devres::ColDate, 1)));
    // The handheld's fixed widths were made for its own small font: fit them to the font in use.
    FitColumns();
}

void CViewByDate::ShowNavigationButtons(bool shown) {
    for (QToolButton* button : {m_previous, m_next, m_today})
        button->setVisible(shown);
}

CString CViewByDate::FormatHeaderDate(const COleDateTime& date, const char16_t* picture) const {
    return CDateTimeFormatter::CreateCustomDateFormat(date, picture, 100);
}

CString CViewByDate::PeriodHeader() const {
    switch (m_nPeriodType) {
    case PeriodDay: return FormatHeaderDate(m_dtAnchor, u"MMM d, yyyy");
    case PeriodWeek: return GetResString(devres::WeekOf, 1) + FormatHeaderDate(m_filter->m_dtStart, u"MMM d, yyyy");
    case PeriodMonth: return FormatHeaderDate(m_filter->m_dtStart, u"MMMM yyyy");
    default:
        return FormatHeaderDate(m_filter->m_dtStart, u"MMM d, yyyy") + u" - " +
               FormatHeaderDate(m_filter->m_dtEnd, u"MMM d, yyyy");
    }
}

void CViewByDate::RecomputePeriod() {
    const CQuillmarApp* app = GetQuillmarApp();
    // Custom keeps the range the date range dialog set.
    CDatePeriod::Compute(m_nPeriodType, m_dtAnchor, app ? app->m_nFirstDayOfWeek : 2, m_filter->m_dtStart,
                         m_filter->m_dtEnd);
    // Before the anchor moves to the start: a day's header names the anchor itself.
    m_headerText = qtconv::ToQString(PeriodHeader());
    m_dtAnchor = m_filter->m_dtStart;
    m_headerTextRect = titlestrip::TextRect(m_headerText, titlestrip::BoldFont(DialogFont(*this)), StripHeight());
    update(0, 0, width(), HeaderHeight());
    Refresh(0);
}

void CViewByDate::GoToDate(const COleDateTime& date) {
    if (date.GetStatus() != COleDateTime::valid)
        return;
    m_dtAnchor = date;
    RecomputePeriod();
}

void CViewByDate::OnPrevious() {
    if (m_nPeriodType != PeriodCustom)
        GoToDate(CDatePeriod::Previous(m_nPeriodType, m_dtAnchor));
}

void CViewByDate::OnNext() {
    if (m_nPeriodType != PeriodCustom)
        GoToDate(CDatePeriod::Next(m_nPeriodType, m_dtAnchor));
}

void CViewByDate::OnToday() {
    if (m_nPeriodType == PeriodCustom)
        return;
    GoToDate(COleDateTime::GetCurrentTime());
}

void CViewByDate::ApplyListSettings() {
    const CQuillmarApp* app = GetQuillmarApp();
    m_list->m_bColorAltRows = app && app->m_bColorAltRows;
    m_list->m_bSwitchFonts = app && app->m_bStrikeOutPaidItems;
    unsigned style = LVS_EX_FULLROWSELECT;
    if (app && app->m_bGridlines)
        style |= LVS_EX_GRIDLINES;
    m_list->AsListCtrl().SetExtendedStyle(style);
}

void CViewByDate::AddRow(CProjectItem& entry) {
    CListCtrl& list = m_list->AsListCtrl();
    const int row = list.InsertItem(list.GetItemCount(), DayText(entry));
    if (row < 0)
        return;
    m_list->topLevelItem(row)->setIcon(0, m_rowIcons[CEntryRows::ImageIndex(entry)]);
    const CString project = FormatProjectName(entry.get_ProjectRef());
    list.SetItemText(row, 1, project);
    const bool time = entry.get_ItemType() == CProjectItem::ItemType_Time;
    CString category;
    if (time) {
        category = CEntryRows::CategoryCode(entry);
        list.SetItemText(row, 2, category);
        list.SetItemText(row, 3, CDateTimeFormatter::FormatDuration(entry.get_DurationInMinutes()));
    }
    list.SetItemText(row, 4, FormatMoney(entry.get_BillAmount()));
    m_list->SetSortKey(row, 0, entry.get_ItemDate().m_dt);
    m_list->SetSortKey(row, 1, qtconv::ToQString(project));
    m_list->SetSortKey(row, 2, qtconv::ToQString(category));
    m_list->SetSortKey(row, 3, time ? entry.get_DurationInMinutes() : -1);
    m_list->SetSortKey(row, 4, static_cast<double>(entry.get_BillAmount()));
    CEntryRows::SetRowEntry(*m_list, row, entry);
    // Entries of one day and project are told apart by their description, on a second line.
    m_list->SetRowDescription(row, qtconv::ToQString(entry.get_Description()));
}

CString CViewByDate::PictureWithoutYear(const CString& picture) {
    // "M/d/yyyy" -> "M/d", "dd.MM.yyyy" -> "dd.MM", "yyyy-MM-dd" -> "MM-dd".
    std::u16string text(picture.GetString());
    const size_t first = text.find(u'y');
    if (first == std::u16string::npos)
        return picture;
    size_t last = text.find_first_not_of(u'y', first);
    if (last == std::u16string::npos)
        last = text.size();
    size_t from = first;
    size_t to = last;
    if (to < text.size())
        ++to;   // the separator after a leading year
    else if (from > 0)
        --from;   // the separator before a trailing year
    text.erase(from, to - from);
    return text.empty() ? picture : CString(std::move(text));
}

CString CViewByDate::DayText(const CProjectItem& entry) const {
    // Found across all dates, an entry shows its whole date.
    if (IsSearching() && m_allDatesBox->isChecked())
        return CEntryRows::DayText(entry, false);
    if (m_nPeriodType == PeriodWeek)
        return CEntryRows::DayText(entry, true);
    // The header names the period's year; the column leaves it out unless a range spans years.
    const bool oneYear = m_filter->m_dtStart.GetYear() == m_filter->m_dtEnd.GetYear();
    if (!oneYear)
        return CEntryRows::DayText(entry, false);
    const Locale& locale = Locale::UserDefault();
    return locale.FormatDate(entry.get_ItemDate(), PictureWithoutYear(locale.shortDatePicture));
}

void CViewByDate::Refresh(int idToSelect) {
    m_list->setUpdatesEnabled(false);
    ApplyListSettings();
    m_list->AsListCtrl().DeleteAllItems();
    m_summary->Reset();
    FillRows(*m_summary, true);
    m_list->SortRows(SortColumn(), IsSortAscending());
    m_list->setUpdatesEnabled(true);
    m_list->viewport()->update();
    FitColumns();
    if (idToSelect != 0)
        CEntryRows::SelectEntry(*m_list, idToSelect);
    ShowTotals();
}

void CViewByDate::ApplySearchDates(CSummaryData& summary) const {
    if (m_found)
        m_found->ApplyTo(summary);
}

void CViewByDate::FillRows(CSummaryData& summary, bool addRows) {
    m_found.reset();
    if (!IsSearching()) {
        CEntryRows::ForEachListed(*m_filter, summary, [this, addRows](CProjectItem& entry) {
            if (addRows)
                AddRow(entry);
        });
        return;
    }
    const CRecordNames names;
    const CEntryMatcher matcher(qtconv::FromQString(m_searchBox->text()));
    if (m_allDatesBox->isChecked())
        m_found.emplace();
    for (const auto& entry : CEntrySearch(*m_filter, matcher, m_allDatesBox->isChecked(), names)) {
        if (addRows)
            AddRow(*entry);
        summary.AddItem(entry.get());
        if (m_found)
            m_found->Add(*entry);
    }
}

void CViewByDate::RefreshSelecting(const std::vector<int>& ids) {
    Refresh(ids.empty() ? 0 : ids.front());
    if (ids.size() > 1)
        CEntryRows::AlsoSelectEntries(*m_list, std::vector<int>(ids.begin() + 1, ids.end()));
}

std::vector<int> CViewByDate::SelectedEntryIds() const { return CEntryRows::SelectedEntryIds(*m_list); }

COleDateTime CViewByDate::NewEntryDate() const {
    const COleDateTime now = COleDateTime::GetCurrentTime();
    const COleDateTime today = GetDatePortion(now);
    if (today >= m_filter->m_dtStart && today <= m_filter->m_dtEnd)
        return now;
    // Dated today, the entry would not be listed and would seem lost.
    return m_filter->m_dtStart;
}

int CViewByDate::SelectedEntryId() const { return CEntryRows::SelectedEntryId(*m_list); }

void CViewByDate::OnFilterData() {
    if (m_bFilterActive) {
        m_filter->Reset();
        AfxMessageBox(GetResString(devres::FilterOff, 1), MB_ICONINFORMATION);
        m_bFilterActive = false;
    } else {
        if (!EditFilter(m_filter.get()))
            return;
        m_filter->m_bActive = 1;
        m_bFilterActive = true;
    }
    Refresh(0);
    emit filterChanged();
}

void CViewByDate::OnEdit() {
    CProjectItem entry;
    if (CEntryRows::LoadSelected(*m_list, entry) && EditProjectItem(&entry))
        Refresh(entry.get_ID());
}

void CViewByDate::OnMarkAsPaid() {
    const std::vector<int> ids = SelectedEntryIds();
    if (!CEntryBulkActions::Run(CEntryBulkActions::Action::MarkPaid, ids).changed.empty())
        RefreshSelecting(ids);
}

void CViewByDate::OnMarkAsBilled() {
    const std::vector<int> ids = SelectedEntryIds();
    if (!CEntryBulkActions::Run(CEntryBulkActions::Action::MarkBilled, ids).changed.empty())
        RefreshSelecting(ids);
}

void CViewByDate::OnDelete() {
    if (m_list->GetSelectedRows().size() > 1) {
        const auto outcome = CEntryBulkActions::Run(CEntryBulkActions::Action::Delete, SelectedEntryIds());
        if (!outcome.changed.empty())
            RefreshSelecting(outcome.unchanged);
        return;
    }
    if (CEntryRows::DeleteSelected(*m_list) < 0)
        return;
    // Only the row goes from the list, but the totals must leave the entry out at once.
    RecountSummary();
}

void CViewByDate::RecountSummary() {
    m_summary->Reset();
    FillRows(*m_summary, false);
    ShowTotals();
}

QString CViewByDate::TotalsText() const {
    const CSummaryData& sum = *m_summary;
    const int entries = sum.m_nTimeCount + sum.m_nExpenseCount + sum.m_nMileageCount;
    const float billable = sum.m_fBillableTimeAmount + sum.m_fBillableMileageAmount + sum.m_fBillableExpenseAmount;
    QString text = QStringLiteral("%1 %2  %3  %4")
                       .arg(entries)
                       .arg(entries == 1 ? QStringLiteral("entry") : QStringLiteral("entries"))
                       .arg(qtconv::ToQString(
                           CDateTimeFormatter::FormatDuration(sum.m_nBillableMinutes + sum.m_nNonBillableMinutes)))
                       .arg(qtconv::ToQString(FormatMoney(billable)));
    if (IsSearching())
        text = (entries == 1 ? QStringLiteral("1 match  ") : QStringLiteral("%1 match  ").arg(entries)) +
               text.section(QLatin1Char(' '), 2);
    return text;
}

void CViewByDate::ShowTotals() {
    m_totals->setText(TotalsText());
    m_filterMark->setVisible(m_bFilterActive);
    emit totalsChanged();
}

void CViewByDate::FitColumns() {
    CListCtrl& list = m_list->AsListCtrl();
    // The header would keep narrow columns at a least width of its own, which grows with the font.
    m_list->header()->setMinimumSectionSize(4);
    const QFontMetrics metrics(m_list->font());
    const QFontMetrics headerMetrics(m_list->header()->font());
    // The cell's text margins on both sides, as the style draws them, and a pixel to spare.
    const int margin = m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1;
    const int kPadding = 2 * margin + 2;
    auto textWidth = [&](int column) {
        int widest = 0;
        for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
            for (const QString& line : m_list->topLevelItem(row)->text(column).split(QLatin1Char('\n')))
                widest = std::max(widest, metrics.horizontalAdvance(line));
        }
        return widest + kPadding;
    };
    auto headerWidth = [&](int column) {
        return headerMetrics.horizontalAdvance(m_list->headerItem()->text(column)) + kPadding;
    };
    // The weekday or date, with the row's icon, is always whole, and so is its header.
    const int first = std::max(textWidth(0) + m_list->iconSize().width() + 2 * margin, headerWidth(0));
    int contents[3];
    int headed[3];
    for (int index = 0; index < 3; ++index) {
        contents[index] = std::max(textWidth(index + 2), kPadding);
        headed[index] = std::max(contents[index], headerWidth(index + 2));
    }
    const int room = m_list->viewport()->width();
    const int projectLeast = metrics.averageCharWidth() * 6;
    // Whole headers are welcome, but not at the cost of the project's third of the row.
    const bool headersFit = first + headed[0] + headed[1] + headed[2] + std::max(projectLeast, room / 3) <= room;
    // Otherwise what the project can spare goes to the headers evenly, so that an empty or
    // narrow list still says what its columns are.
    int spare = room - first - std::max(projectLeast, room / 3);
    for (int index = 0; index < 3; ++index)
        spare -= contents[index];
    // A width the user gave a column by dragging its edge stands.
    auto given = [this](int column, int fitted) {
        const int user = m_list->UserColumnWidth(column);
        return user > 0 ? user : fitted;
    };
    int used = given(0, first);
    for (int index = 0; index < 3; ++index) {
        int width = headed[index];
        if (!headersFit) {
            const int share = std::max(0, spare) / (3 - index);
            width = contents[index] + std::min(share, headed[index] - contents[index]);
            spare -= width - contents[index];
        }
        width = given(index + 2, width);
        list.SetColumnWidth(index + 2, width);
        used += width;
    }
    list.SetColumnWidth(0, given(0, first));
    // The project takes the rest, so that no pixel of the row stays unused.
    list.SetColumnWidth(1, given(1, std::max(projectLeast, room - used)));
}

void CViewByDate::OnTapAt(const QPoint& viewportPos) {
    QTreeWidgetItem* item = m_list->itemAt(viewportPos);
    if (item == nullptr) {
        m_list->clearSelection();
        return;
    }
    // With Ctrl or Shift held the tap only changed the selection (the list did that).
    if (QGuiApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
        return;
    m_list->SelectRow(m_list->indexOfTopLevelItem(item));
    OnEdit();
}

void CViewByDate::OnHoldAt(const QPoint& viewportPos) {
    QTreeWidgetItem* item = m_list->itemAt(viewportPos);
    if (item == nullptr) {
        m_list->clearSelection();
        return;
    }
    // Holding a row of a selection acts on the whole selection, which the press itself narrowed.
    const int held = std::abs(m_list->GetRowValue(m_list->indexOfTopLevelItem(item)));
    const auto& pressed = m_selectionAtPress;
    if (pressed.size() > 1 && std::find(pressed.begin(), pressed.end(), held) != pressed.end()) {
        for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
            const int id = std::abs(m_list->GetRowValue(row));
            m_list->topLevelItem(row)->setSelected(std::find(pressed.begin(), pressed.end(), id) != pressed.end());
        }
    } else if (!item->isSelected()) {
        m_list->SelectRow(m_list->indexOfTopLevelItem(item));
    }
    ShowContextMenu(m_list->viewport()->mapToGlobal(viewportPos));
}

void CViewByDate::ShowContextMenu(const QPoint& globalPos) {
    const int row = m_list->GetSelectedRow();
    if (row < 0)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("entryContextMenu"));
    QAction* edit = menu.addAction(QStringLiteral("Edit"));
    edit->setObjectName(QStringLiteral("contextEdit"));
    const std::vector<int> rows = m_list->GetSelectedRows();
    edit->setEnabled(rows.size() == 1);
    // A paid entry's row carries its ID negated; any other selected row can still be marked.
    bool unpaid = false;
    for (int selected : rows)
        unpaid = unpaid || m_list->GetRowValue(selected) > 0;
    const QString several = rows.size() > 1 ? QStringLiteral(" (%1)").arg(rows.size()) : QString();
    QAction* paid = menu.addAction(QStringLiteral("Mark as Paid") + several);
    paid->setObjectName(QStringLiteral("contextMarkAsPaid"));
    paid->setEnabled(unpaid);
    QAction* billed = menu.addAction(QStringLiteral("Mark as Billed") + several);
    billed->setObjectName(QStringLiteral("contextMarkAsBilled"));
    billed->setEnabled(unpaid);
    menu.addSeparator();
    QAction* remove = menu.addAction(QStringLiteral("Delete") + several);
    remove->setObjectName(QStringLiteral("contextDelete"));
    QAction* selectAll = menu.addAction(QStringLiteral("Select All"));
    selectAll->setObjectName(QStringLiteral("contextSelectAll"));
    QAction* chosen = RunPopupMenu(menu, globalPos);
    if (chosen == nullptr || !chosen->isEnabled())
        return;
    if (chosen == edit)
        OnEdit();
    else if (chosen == paid)
        OnMarkAsPaid();
    else if (chosen == billed)
        OnMarkAsBilled();
    else if (chosen == remove)
        OnDelete();
    else if (chosen == selectAll)
        m_list->selectAll();
}

bool CViewByDate::IsCalendarShown() const { return m_calendar && m_calendar->isVisible(); }

void CViewByDate::ShowCalendar() {
    if (m_calendar == nullptr) {
        m_calendar = new QCalendarWidget(this);
        m_calendar->setObjectName(QStringLiteral("monthCalendar"));
        m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        m_calendar->setGridVisible(false);
        m_calendar->setAutoFillBackground(true);
        connect(m_calendar, &QCalendarWidget::clicked, this, &CViewByDate::OnDatePicked);
        connect(m_calendar, &QCalendarWidget::activated, this, &CViewByDate::OnDatePicked);
    }
    if (const CQuillmarApp* app = GetQuillmarApp()) {
        // The setting counts from Sunday (1) to Saturday (7); Qt from Monday (1) to Sunday (7).
        const int first = app->m_nFirstDayOfWeek;
        if (first >= 1 && first <= 7)
            m_calendar->setFirstDayOfWeek(static_cast<Qt::DayOfWeek>(first == 1 ? 7 : first - 1));
    }
    {
        const QSignalBlocker blocker(m_calendar);
        m_calendar->setSelectedDate(QDate(m_dtAnchor.GetYear(), m_dtAnchor.GetMonth(), m_dtAnchor.GetDay()));
    }
    LayoutChildren();
    m_calendar->show();
    m_calendar->raise();
}

void CViewByDate::HideCalendar() {
    if (m_calendar)
        m_calendar->hide();
}

void CViewByDate::OnDatePicked(const QDate& date) {
    HideCalendar();
    GoToDate(COleDateTime(date.year(), date.month(), date.day(), 0, 0, 0));
}

void CViewByDate::OnStylusUp(const QPoint& pos) {
    if (m_nPeriodType == PeriodCustom || IsCalendarShown())
        return;
    if (m_headerTextRect.contains(pos))
        ShowCalendar();
}

void CViewByDate::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnStylusUp(event->position().toPoint());
    QWidget::mouseReleaseEvent(event);
}

bool CViewByDate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_searchBox && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        ClearSearch();
        return true;
    }
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress)
        m_selectionAtPress = SelectedEntryIds();
    // A scroll bar coming or going changes the room the columns share.
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        FitColumns();
    // Tapping the list while the calendar is open only closes it.
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress && IsCalendarShown()) {
        HideCalendar();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CViewByDate::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), StripHeight()), palette().color(QPalette::Button));
    m_headerTextRect = titlestrip::Draw(painter, width(), m_headerText, titlestrip::BoldFont(DialogFont(*this)),
                                        Qt::black, StripHeight());
}

void CViewByDate::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutChildren();
}

int CViewByDate::StripHeight() const { return std::max(titlestrip::kHeight, DeviceTapTarget() + 2); }

int CViewByDate::HeaderHeight() const { return StripHeight() + 1; }

void CViewByDate::LayoutChildren() {
    const int search = SearchLineHeight();
    if (search > 0)
        m_searchLine->setGeometry(0, HeaderHeight(), width(), search);
    const int header = HeaderHeight() + search;
    const int totalsHeight = m_totals->sizeHint().height();
    const int listHeight = std::max(0, height() - header - totalsHeight);
    m_list->setGeometry(0, header, width(), listHeight);
    const int markWidth = m_filterMark->sizeHint().width();
    m_filterMark->setGeometry(width() - markWidth - 2, header + listHeight, markWidth, totalsHeight);
    m_totals->setGeometry(2, header + listHeight, width() - markWidth - 6, totalsHeight);
    // The previous, today and next buttons: whole tap targets at the strip's right end.
    const int button = DeviceTapTarget();
    int x = width() - 2;
    for (QToolButton* navigation : {m_next, m_today, m_previous}) {
        x -= button;
        navigation->setFixedSize(button, button);
        navigation->move(x, (StripHeight() - button) / 2);
    }
    if (m_calendar) {
        // The whole width, so that no day of the week is cut off.
        const int calendarHeight =
            std::min(std::max(m_calendar->sizeHint().height(), width() * 3 / 4), height() - header);
        m_calendar->setGeometry(0, header, width(), calendarHeight);
    }
}

void CViewByDate::OnFontChanged() {
    m_list->CreateFonts(DialogFont(*this));
    m_list->header()->setFont(DialogFont(*this));
    m_headerTextRect = titlestrip::TextRect(m_headerText, titlestrip::BoldFont(DialogFont(*this)), StripHeight());
    LayoutChildren();
    // The rows' heights and the columns' widths follow the font.
    Refresh(SelectedEntryId());
    update();
}
