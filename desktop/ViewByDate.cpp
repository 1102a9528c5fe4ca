#include "desktop/ViewByDate.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QMenu>
#include <QVBoxLayout>

#include "biz/Category.h"
#include "biz/DataHelper.h"
#include "biz/DateTimeFormatter.h"
#include "biz/Helpers.h"
#include "biz/ProjectItem.h"
#include "biz/ProjectItemFilter.h"
#include "biz/SummaryData.h"
#include "desktop/CommandIds.h"
#include "desktop/DialogBridge.h"
#include "desktop/Icons.h"
#include "desktop/ListCtrlEx.h"
#include "desktop/MainFrame.h"
#include "desktop/PopupMenu.h"
#include "desktop/QuillmarApp.h"
#include "desktop/ViewSummary.h"
#include "platform/Locale.h"
#include "platform/MessageBox.h"
#include "platform/ObArray.h"
#include "platform/Registry.h"
#include "platform/qt/QtConvert.h"

namespace {

constexpr int kColumnDate = 0;
constexpr int kColumnDescription = 2;
const char16_t* const kPeriodTypeValue = u"PeriodType";

CString ShortDate(const COleDateTime& date)
{
    const Locale& locale = Locale::UserDefault();
    return locale.FormatDate(date, locale.shortDatePicture);
}

COleDateTime FromQDate(const QDate& date)
{
    return COleDateTime(date.year(), date.month(), date.day(), 0, 0, 0);
}

uintptr_t RowValue(int signedValue)
{
    return static_cast<uintptr_t>(static_cast<intptr_t>(signedValue));
}

const Library* ResLibrary()
{
    const CQuillmarApp* app = GetQuillmarApp();
    return app ? app->GetResourceLibrary() : nullptr;
}

}   // namespace

CViewByDate::CViewByDate(CMainFrame* frame, QWidget* parent)
    : QWidget(parent), m_pFrame(frame), m_list(new CListCtrlEx(this)),
      m_filter(std::make_unique<CProjectItemFilter>()), m_summary(std::make_unique<CSummaryData>()),
      m_dtAnchor(COleDateTime::GetCurrentTime())
{
    setObjectName(QStringLiteral("viewByDate"));
    m_list->setObjectName(QStringLiteral("entriesList"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CViewByDate::selectionChanged);
    connect(m_list, &CListCtrlEx::rowDoubleClicked, this, [this](int) { OnEdit(); });
    connect(m_list, &CListCtrlEx::deleteKeyPressed, this, &CViewByDate::OnDelete);
    connect(m_list, &CListCtrlEx::contextMenuWanted, this, &CViewByDate::ShowContextMenu);
}

CViewByDate::~CViewByDate() = default;

void CViewByDate::OnInitialUpdate(const QFont& uiFont)
{
    m_list->CreateFonts(uiFont);
    SetupColumns();
    m_list->SetStretchColumn(kColumnDescription);
    m_rowIcons[0] = ResLibraryIcon(ResLibrary(), 15);
    m_rowIcons[1] = ResLibraryIcon(ResLibrary(), 14);
    m_rowIcons[2] = ResLibraryIcon(ResLibrary(), 16);

    m_datePicker = new QDateEdit();
    m_datePicker->setObjectName(QStringLiteral("datePicker"));
    m_datePicker->setDisplayFormat(QStringLiteral("ddd, MMM d, yyyy"));
    m_datePicker->setCalendarPopup(true);
    m_datePicker->setFont(uiFont);
    m_datePicker->setFixedSize(130, 22);
    m_datePicker->setMinimumDate(QDate(100, 1, 1));
    SetPickerDate(m_dtAnchor);
    connect(m_datePicker, &QDateEdit::dateChanged, this, &CViewByDate::OnDatePicked);

    const uint32_t stored = Registry::GetDword(CQuillmarApp::kSettingsKey, kPeriodTypeValue, PeriodWeek);
    // Only Day, Week and Month are ever stored; anything else starts the usual Week.
    SetPeriodType(stored <= PeriodMonth ? static_cast<int>(stored) : PeriodWeek);
}

void CViewByDate::SetupColumns()
{
    CListCtrl& list = m_list->AsListCtrl();
    list.InsertColumn(0, GetResString(res::ColDay, 1), LVCFMT_LEFT, 50);
    list.InsertColumn(1, GetResString(res::ColProject, 1), LVCFMT_LEFT, 130);
    list.InsertColumn(2, GetResString(res::ColDescription, 1), LVCFMT_LEFT, 150);
    list.InsertColumn(3, GetResString(res::ColCategory, 1), LVCFMT_LEFT, 70);
    list.InsertColumn(4, GetResString(res::ColDuration, 1), LVCFMT_LEFT, 60);
    list.InsertColumn(5, GetResString(res::ColAmount, 1), LVCFMT_RIGHT, 70);
}

void CViewByDate::SetPickerDate(const COleDateTime& date)
{
    if (!m_datePicker || date.GetStatus() != COleDateTime::valid)
        return;
    const QSignalBlocker blocker(m_datePicker);
    m_datePicker->setDate(QDate(date.GetYear(), date.GetMonth(), date.GetDay()));
}

void CViewByDate::SetPeriodType(int type)
{
    if (type < PeriodDay || type > PeriodCustom)
        return;
    m_nPeriodType = type;
    RecomputePeriod();
    if (type != PeriodCustom)
        Registry::SetDword(CQuillmarApp::kSettingsKey, kPeriodTypeValue, static_cast<uint32_t>(type));
    ApplyPeriodColumn();
    emit periodChanged();
}

void CViewByDate::ApplyPeriodColumn()
{
    const bool week = m_nPeriodType == PeriodWeek;
    m_list->setColumnWidth(kColumnDate, week ? 50 : 90);
    m_list->headerItem()->setText(kColumnDate, qtconv::ToQString(GetResString(week ? res::ColDay : res::ColDate, 1)));
    m_list->StretchColumn(kColumnDescription);
}

void CViewByDate::RecomputePeriod()
{
    if (m_datePicker)
        m_dtAnchor = FromQDate(m_datePicker->date());
    switch (m_nPeriodType) {
    case PeriodDay:
        m_filter->m_dtStart = GetDatePortion(m_dtAnchor);
        m_filter->m_dtEnd = m_filter->m_dtStart;
        break;
    case PeriodWeek: {
        const CQuillmarApp* app = GetQuillmarApp();
        const int firstDay = app ? app->m_nFirstDayOfWeek : 2;
        m_filter->m_dtStart = GetDatePortion(DetermineFirstDayOfWeek(m_dtAnchor, firstDay));
        m_filter->m_dtEnd = GetDatePortion(m_filter->m_dtStart + COleDateTimeSpan(6, 0, 0, 0));
        break;
    }
    case PeriodMonth:
        m_filter->m_dtStart = COleDateTime(m_dtAnchor.GetYear(), m_dtAnchor.GetMonth(), 1, 0, 0, 0);
        m_filter->m_dtEnd = GetLastDayInMonth(m_dtAnchor.GetYear(), m_dtAnchor.GetMonth());
        break;
    default:
        break;   // Custom keeps the range the date range dialog set
    }
    m_dtAnchor = m_filter->m_dtStart;
    SetPickerDate(m_dtAnchor);
    Refresh(0);
}

void CViewByDate::GoToDate(const COleDateTime& date)
{
    SetPickerDate(date);
    m_dtAnchor = date;
    RecomputePeriod();
}

void CViewByDate::OnCustomDates()
{
    COleDateTime start = m_filter->m_dtStart;
    COleDateTime end = m_filter->m_dtEnd;
    if (dialogs::SelectDateRange(start, end) != 1)
        return;
    m_filter->m_dtStart = GetDatePortion(start);
    m_filter->m_dtEnd = GetDatePortion(end);
    SetPeriodType(PeriodCustom);
}

void CViewByDate::OnPrevious()
{
    if (!IsNavigationEnabled())
        return;
    COleDateTime anchor = m_dtAnchor;
    if (m_nPeriodType == PeriodMonth) {
        const int month = anchor.GetMonth() == 1 ? 12 : anchor.GetMonth() - 1;
        const int year = anchor.GetMonth() == 1 ? anchor.GetYear() - 1 : anchor.GetYear();
        anchor = COleDateTime(year, month, 1, 0, 0, 0);
    } else {
        anchor -= COleDateTimeSpan(m_nPeriodType == PeriodWeek ? 7 : 1, 0, 0, 0);
    }
    GoToDate(anchor);
}

void CViewByDate::OnNext()
{
    if (!IsNavigationEnabled())
        return;
    COleDateTime anchor = m_dtAnchor;
    if (m_nPeriodType == PeriodMonth) {
        const int month = anchor.GetMonth() == 12 ? 1 : anchor.GetMonth() + 1;
        const int year = anchor.GetMonth() == 12 ? anchor.GetYear() + 1 : anchor.GetYear();
        anchor = COleDateTime(year, month, 1, 0, 0, 0);
    } else {
        anchor += COleDateTimeSpan(m_nPeriodType == PeriodWeek ? 7 : 1, 0, 0, 0);
    }
    GoToDate(anchor);
}

void CViewByDate::OnToday()
{
    if (!IsNavigationEnabled())
        return;
    GoToDate(COleDateTime::GetCurrentTime());
}

void CViewByDate::OnDatePicked()
{
    if (!IsNavigationEnabled())
        return;
    RecomputePeriod();
}

void CViewByDate::ApplyListSettings()
{
    const CQuillmarApp* app = GetQuillmarApp();
    m_list->m_bSwitchFonts = app && app->m_bStrikeOutPaidItems;
    m_list->m_bColorAltRows = app && app->m_bColorAltRows;
    unsigned style = LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP;
    if (app && app->m_bGridlines)
        style |= LVS_EX_GRIDLINES;
    m_list->AsListCtrl().SetExtendedStyle(style);
}

void CViewByDate::AddRow(CProjectItem& entry)
{
    CListCtrl& list = m_list->AsListCtrl();
    const bool week = m_nPeriodType == PeriodWeek;
    const COleDateTime date = entry.get_ItemDate();
    const int row = list.InsertItem(list.GetItemCount(),
                                    week ? CDateTimeFormatter::FormatWeekday(date, 0) : ShortDate(date));
    const int type = entry.get_ItemType();
    const int image = type == CProjectItem::ItemType_Time ? 0 : type == CProjectItem::ItemType_Expense ? 1 : 2;
    m_list->topLevelItem(row)->setIcon(0, m_rowIcons[image]);
    list.SetItemText(row, 1, FormatProjectName(entry.get_ProjectRef()));
    list.SetItemText(row, 2, entry.get_DescriptionEx());
    if (type == CProjectItem::ItemType_Time) {
        CDataHelper* store = GetCurrDataHelper();
        CCategory category;
        category.set_ID(store ? store->RefID_To_ID(entry.get_CategoryRef(), u"category") : 0);
        if (category.get_ID() != 0 && category.Load())
            list.SetItemText(row, 3, category.get_Code());
        list.SetItemText(row, 4, CDateTimeFormatter::FormatDuration(entry.get_DurationInMinutes()));
    }
    list.SetItemText(row, 5, FormatMoney(entry.get_BillAmount()));
    const bool paid = entry.get_PymtStatus() == CProjectItem::PymtStatus_Paid;
    list.SetItemData(row, RowValue(paid ? -entry.get_ID() : entry.get_ID()));
}

void CViewByDate::Refresh(int idToSelect)
{
    m_list->setUpdatesEnabled(false);
    m_list->AsListCtrl().DeleteAllItems();
    ApplyListSettings();
    m_summary->Reset();

    CDataHelper* store = GetCurrDataHelper();
    // The list owns its records; they go when it does, after the summary has read them.
    std::unique_ptr<CObArray> entries(store ? store->GetObjectList(u"projectItem") : new CObArray);
    for (int index = 0; index < entries->GetSize(); ++index) {
        auto* entry = dynamic_cast<CProjectItem*>(entries->GetAt(index));
        if (!entry || m_filter->RunOnItem(entry) != 0)
            continue;
        AddRow(*entry);
        m_summary->AddItem(entry);
    }
    m_list->setUpdatesEnabled(true);
    m_list->viewport()->update();
    if (idToSelect != 0)
        SelectById(idToSelect);
    UpdateStatusAndSummary();
    emit selectionChanged();
}

void CViewByDate::SelectById(int id)
{
    const int wanted = id < 0 ? -id : id;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        const int value = m_list->GetRowValue(row);
        if ((value < 0 ? -value : value) == wanted) {
            m_list->SelectRow(row);
            m_list->AsListCtrl().EnsureVisible(row, false);
            return;
        }
    }
}

QString CViewByDate::RangeText() const
{
    return qtconv::ToQString(ShortDate(m_filter->m_dtStart) + u" - " + ShortDate(m_filter->m_dtEnd));
}

void CViewByDate::UpdateStatusAndSummary()
{
    static const unsigned titles[] = {res::TitleDay, res::TitleWeek, res::TitleMonth, res::TitleCustom};
    if (m_pFrame)
        m_pFrame->SetRangePaneText(RangeText());
    m_summary->m_strTitle = GetResString(titles[m_nPeriodType], 1);
    m_summary->m_dtStart = m_filter->m_dtStart;
    m_summary->m_dtEnd = m_filter->m_dtEnd;
    if (m_pFrame && m_pFrame->GetSummaryView())
        m_pFrame->GetSummaryView()->Display(*m_summary);
}

void CViewByDate::OnFilterData()
{
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

int CViewByDate::SelectedEntryId() const
{
    const int row = m_list->GetSelectedRow();
    if (row < 0)
        return 0;
    const int value = m_list->GetRowValue(row);
    return value < 0 ? -value : value;
}

bool CViewByDate::CanEditOrDelete() const
{
    return SelectedEntryId() != 0;
}

bool CViewByDate::CanMarkAsPaid() const
{
    const int row = m_list->GetSelectedRow();
    return row >= 0 && m_list->GetRowValue(row) > 0;
}

void CViewByDate::OnEdit()
{
    CProjectItem entry;
    entry.set_ID(SelectedEntryId());
    if (entry.get_ID() == 0 || !entry.Load())
        return;
    if (dialogs::EditProjectItem(entry))
        Refresh(entry.get_ID());
}

void CViewByDate::OnMarkAsPaid()
{
    if (!CanMarkAsPaid())
        return;
    CProjectItem entry;
    entry.set_ID(SelectedEntryId());
    if (!entry.Load())
        return;
    entry.set_PymtStatus(CProjectItem::PymtStatus_Paid);
    if (entry.Save())
        Refresh(entry.get_ID());
}

void CViewByDate::OnDelete()
{
    const int row = m_list->GetSelectedRow();
    CProjectItem entry;
    entry.set_ID(SelectedEntryId());
    if (row < 0 || entry.get_ID() == 0 || !entry.Load())
        return;
    if (!entry.Delete())
        return;
    // Only the row goes; totals and status texts stay as they are until the next refresh.
    m_list->AsListCtrl().DeleteItem(row);
    const int next = row > 0 ? row - 1 : (m_list->topLevelItemCount() > 0 ? 0 : -1);
    if (next >= 0)
        m_list->SelectRow(next);
    emit selectionChanged();
}

void CViewByDate::ShowContextMenu(const QPoint& globalPos)
{
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
    menu.addSeparator();
    addCommand(QStringLiteral("&Delete"), cmd::EditDelete, "contextDelete");
    QAction* chosen = RunPopupMenu(menu, globalPos);
    if (chosen && chosen->isEnabled())
        m_pFrame->ExecuteCommand(chosen->data().toUInt());
}
