#include "device/ViewByDate.h"

#include <QCalendarWidget>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

#include "biz/DateTimeFormatter.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/SummaryData.h"
#include "device/CommandIds.h"
#include "device/QuillmarApp.h"
#include "device/TapAndHold.h"
#include "device/TitleStrip.h"
#include "platform/MessageBox.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/DatePeriod.h"
#include "ui/shared/EntryRows.h"
#include "ui/shared/Icons.h"
#include "ui/shared/ListCtrlEx.h"
#include "ui/shared/PopupMenu.h"
#include "ui/shared/dialogs/EditFilter.h"
#include "ui/shared/dialogs/EditProjectItem.h"
#include "ui/shared/dialogs/SelectDateRange.h"

namespace {

constexpr int kButtonSize = 20;

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
    button->setFixedSize(kButtonSize, kButtonSize);
    return button;
}

}   // namespace

CViewByDate::CViewByDate(QWidget* parent)
    : QWidget(parent), m_list(new CListCtrlEx(this)), m_tapAndHold(new CTapAndHold(m_list->viewport())),
      m_previous(MakeNavigationButton(this, devicon::PreviousPeriod, "previousButton")),
      m_next(MakeNavigationButton(this, devicon::NextPeriod, "nextButton")),
      m_today(MakeNavigationButton(this, devicon::Today, "todayButton")),
      m_filter(std::make_unique<CProjectItemFilter>()), m_summary(std::make_unique<CSummaryData>()),
      m_dtAnchor(COleDateTime::GetCurrentTime()) {
    setObjectName(QStringLiteral("viewByDate"));
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
}

CViewByDate::~CViewByDate() = default;

void CViewByDate::OnInitialUpdate() {
    m_list->CreateFonts(DialogFont(*this));
    SetupColumns();
    m_rowIcons[0] = ResLibraryIcon(ResLibrary(), devicon::TimeEntry);
    m_rowIcons[1] = ResLibraryIcon(ResLibrary(), devicon::ExpenseEntry);
    m_rowIcons[2] = ResLibraryIcon(ResLibrary(), devicon::MileageEntry);
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
    m_list->AsListCtrl().SetColumnWidth(0, week ? 40 : 50);
    m_list->headerItem()->setText(0, qtconv::ToQString(GetResString(week ? devres::ColDay : devres::ColDate, 1)));
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
    const QFontMetrics metrics(titlestrip::BoldFont(DialogFont(*this)));
    m_headerTextRect =
        QRect(titlestrip::kTextLeft, titlestrip::kTextTop, metrics.horizontalAdvance(m_headerText), metrics.height());
    update(0, 0, width(), kHeaderHeight);
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
    const int row = list.InsertItem(list.GetItemCount(), CEntryRows::DayText(entry, m_nPeriodType == PeriodWeek));
    if (row < 0)
        return;
    m_list->topLevelItem(row)->setIcon(0, m_rowIcons[CEntryRows::ImageIndex(entry)]);
    list.SetItemText(row, 1, FormatProjectName(entry.get_ProjectRef()));
    if (entry.get_ItemType() == CProjectItem::ItemType_Time) {
        list.SetItemText(row, 2, CEntryRows::CategoryCode(entry));
        list.SetItemText(row, 3, CDateTimeFormatter::FormatDuration(entry.get_DurationInMinutes()));
    }
    list.SetItemText(row, 4, FormatMoney(entry.get_BillAmount()));
    CEntryRows::SetRowEntry(*m_list, row, entry);
}

void CViewByDate::Refresh(int idToSelect) {
    m_list->setUpdatesEnabled(false);
    ApplyListSettings();
    m_list->AsListCtrl().DeleteAllItems();
    m_summary->Reset();
    CEntryRows::ForEachListed(*m_filter, *m_summary, [this](CProjectItem& entry) { AddRow(entry); });
    m_list->setUpdatesEnabled(true);
    m_list->viewport()->update();
    if (idToSelect != 0)
        CEntryRows::SelectEntry(*m_list, idToSelect);
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
    const int id = SelectedEntryId();
    if (CEntryRows::MarkAsPaid(id))
        Refresh(id);
}

void CViewByDate::OnDelete() {
    const int row = CEntryRows::DeleteSelected(*m_list);
    if (row < 0)
        return;
    // Refilled, so the quick summary no longer counts the deleted entry.
    const int next = row > 0 ? row - 1 : (m_list->topLevelItemCount() > 0 ? 0 : -1);
    Refresh(next >= 0 ? m_list->GetRowValue(next) : 0);
}

void CViewByDate::OnTapAt(const QPoint& viewportPos) {
    QTreeWidgetItem* item = m_list->itemAt(viewportPos);
    if (item == nullptr) {
        m_list->clearSelection();
        return;
    }
    m_list->SelectRow(m_list->indexOfTopLevelItem(item));
    OnEdit();
}

void CViewByDate::OnHoldAt(const QPoint& viewportPos) {
    QTreeWidgetItem* item = m_list->itemAt(viewportPos);
    if (item == nullptr) {
        m_list->clearSelection();
        return;
    }
    m_list->SelectRow(m_list->indexOfTopLevelItem(item));
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
    QAction* paid = menu.addAction(QStringLiteral("Mark as Paid"));
    paid->setObjectName(QStringLiteral("contextMarkAsPaid"));
    // A paid entry's row carries its ID negated.
    paid->setEnabled(m_list->GetRowValue(row) > 0);
    menu.addSeparator();
    QAction* remove = menu.addAction(QStringLiteral("Delete"));
    remove->setObjectName(QStringLiteral("contextDelete"));
    QAction* chosen = RunPopupMenu(menu, globalPos);
    if (chosen == nullptr || !chosen->isEnabled())
        return;
    if (chosen == edit)
        OnEdit();
    else if (chosen == paid)
        OnMarkAsPaid();
    else if (chosen == remove)
        OnDelete();
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
    // Tapping the list while the calendar is open only closes it.
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress && IsCalendarShown()) {
        HideCalendar();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CViewByDate::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), titlestrip::kHeight), palette().color(QPalette::Button));
    m_headerTextRect =
        titlestrip::Draw(painter, width(), m_headerText, titlestrip::BoldFont(DialogFont(*this)), Qt::black);
}

void CViewByDate::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutChildren();
}

void CViewByDate::LayoutChildren() {
    m_list->setGeometry(0, kHeaderHeight, width(), std::max(0, height() - kHeaderHeight));
    int x = width() - 2;
    for (QToolButton* button : {m_next, m_today, m_previous}) {
        x -= kButtonSize;
        button->move(x, (titlestrip::kHeight - kButtonSize) / 2);
    }
    if (m_calendar) {
        const QSize hint = m_calendar->sizeHint();
        const int calendarWidth = std::min(width(), std::max(hint.width(), 200));
        m_calendar->setGeometry(0, kHeaderHeight, calendarWidth, std::min(hint.height(), height() - kHeaderHeight));
    }
}
