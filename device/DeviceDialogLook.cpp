#include "device/DeviceDialogLook.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTabBar>
#include <QVariant>

#include <algorithm>
#include <functional>
#include <vector>

#include "biz/Helpers.h"
#include "device/PageTitle.h"
#include "device/TitleStrip.h"
#include "ui/qt/Dialog.h"
#include "ui/qt/PropertyPage.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/dialogs/DlgBillingDetails.h"
#include "ui/shared/dialogs/DlgCategories.h"
#include "ui/shared/dialogs/DlgClient.h"
#include "ui/shared/dialogs/DlgCustom.h"
#include "ui/shared/dialogs/DlgDateRange.h"
#include "ui/shared/dialogs/DlgEditCategory.h"
#include "ui/shared/dialogs/DlgEditDuration.h"
#include "ui/shared/dialogs/DlgExpenseDetails.h"
#include "ui/shared/dialogs/DlgFilterCustom.h"
#include "ui/shared/dialogs/DlgFilterGeneral.h"
#include "ui/shared/dialogs/DlgMileageDetails.h"
#include "ui/shared/dialogs/DlgNotes.h"
#include "ui/shared/dialogs/DlgOptionsCustomFields.h"
#include "ui/shared/dialogs/DlgOptionsPrefs.h"
#include "ui/shared/dialogs/DlgProject.h"
#include "ui/shared/dialogs/DlgTimeDetails.h"
#include "ui/shared/dialogs/FloatSpinButtonCtrl.h"

namespace {

const char* const kAppliedProperty = "quillmarDeviceLook";
constexpr int kNarrowControlWidth = 60;
constexpr int kDeviceMargin = 4;
constexpr int kLongCaption = 24;   // characters; longer captions wrap

// A device caption. `key` names a control: the label that is its buddy gets the text, or else
// the control itself when it is a button or check box. A key that names no control is the text of a
// plain label, which gets the new text or, with an empty one, is hidden.
struct Caption {
    const char* key;
    const char* text;
};

struct DeviceTemplate {
    unsigned titleId = 0;   // 0: the page draws no title
    std::vector<Caption> captions;
    std::function<void(QWidget*)> extra;
};

QLabel* BuddyLabelOf(QWidget* page, QWidget* control)
{
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->buddy() == control)
            return label;
    }
    return nullptr;
}

void ApplyCaption(QWidget* page, const Caption& caption)
{
    const QString text = QString::fromUtf8(caption.text);
    if (auto* control = page->findChild<QWidget*>(QString::fromLatin1(caption.key))) {
        // A "..." button is the buddy of the caption beside it, so the label comes first.
        if (QLabel* label = BuddyLabelOf(page, control))
            label->setText(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            button->setText(text);
        return;
    }
    const QString old = QString::fromUtf8(caption.key);
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->text() != old)
            continue;
        if (text.isEmpty())
            label->hide();
        else
            label->setText(text);
    }
}

// Group frames take room the device's screen does not have; their controls stay where they are.
void FlattenGroups(QWidget* page)
{
    for (QGroupBox* group : page->findChildren<QGroupBox*>()) {
        group->setTitle(QString());
        group->setFlat(true);
        group->setStyleSheet(QStringLiteral("QGroupBox { border: none; margin: 0px; padding: 0px; }"));
        if (QLayout* inner = group->layout())
            inner->setContentsMargins(0, 0, 0, 0);
    }
}

void HideWrappedNotes(QWidget* page)
{
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->wordWrap())
            label->hide();
    }
}

void UsePointDecimals(QWidget* page)
{
    // The up-down has no meta-object of its own, so findChildren cannot tell it apart.
    for (QWidget* child : page->findChildren<QWidget*>()) {
        if (auto* spin = dynamic_cast<CFloatSpinButtonCtrl*>(child))
            spin->SetDecimalSymbol(u'.');
    }
}

void HideThemeChoice(QWidget* page)
{
    if (auto* theme = page->findChild<QComboBox*>(QStringLiteral("themeCombo"))) {
        theme->hide();
        if (QLabel* label = BuddyLabelOf(page, theme))
            label->hide();
    }
}

// The client's name takes the room of the example the device does not show.
void WidenNameOverHiddenExample(QWidget* page)
{
    auto* name = page->findChild<QWidget*>(QStringLiteral("nameEdit"));
    for (QGridLayout* grid : page->findChildren<QGridLayout*>()) {
        const int index = name ? grid->indexOf(name) : -1;
        if (index < 0)
            continue;
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        grid->removeWidget(name);
        grid->addWidget(name, row, column, rowSpan, columnSpan + 1);
        return;
    }
}

void CategoriesWithoutOk(QWidget* dialog)
{
    auto* categories = static_cast<CDlgCategories*>(dialog);
    if (categories->OkButton())
        categories->OkButton()->hide();
    categories->NewButton()->setDefault(true);
}

const std::vector<Caption> kEntryCommon = {{"dateEdit", "Date:"}, {"projectButton", "Project:"}};

std::vector<Caption> With(std::vector<Caption> captions, const std::vector<Caption>& more)
{
    captions.insert(captions.end(), more.begin(), more.end());
    return captions;
}

// The device template of a shared page or dialog; nullptr for widgets that have none.
const DeviceTemplate* TemplateOf(QWidget* widget)
{
    static const DeviceTemplate time{30,
                                     With(kEntryCommon, {{"durationButton", "Duration:"},
                                                         {"categoryCombo", "Category:"},
                                                         {"descriptionEdit", "Description (e.g: meeting with client):"}}),
                                     nullptr};
    static const DeviceTemplate expense{
        52, With(kEntryCommon, {{"expenseTypeCombo", "Type:"}, {"descriptionEdit", "Memo (e.g: Flight to Los Angeles):"}}),
        nullptr};
    static const DeviceTemplate mileage{53,
                                        With(kEntryCommon, {{"descriptionEdit", "Trip description (e.g: visit to client site):"},
                                                            {"beginEdit", "Begin:"},
                                                            {"endEdit", "End:"}}),
                                        nullptr};
    static const DeviceTemplate billing{31,
                                        {{"billableCheck", "This item is billable"},
                                         {"amountEdit", "Billable Amt.:"},
                                         {"calcButton", "Calc."},
                                         {"notBilledRadio", "Not Billed"},
                                         {"billedRadio", "Billed"},
                                         {"paidRadio", "Paid"}},
                                        UsePointDecimals};
    static const DeviceTemplate custom{32, {}, HideWrappedNotes};
    static const DeviceTemplate notes{0, {}, nullptr};
    static const DeviceTemplate client{10,
                                       {{"nameEdit", "Name:"},
                                        {"addressEdit", "Address:"},
                                        {"accountNumEdit", "Acct. Num:"},
                                        {"contactEdit", "Contact:"},
                                        {"(e.g: Northwind Traders)", ""}},
                                       WidenNameOverHiddenExample};
    static const DeviceTemplate project{11, {{"descriptionEdit", "Name:"}, {"clientCombo", "Client:"}}, nullptr};
    static const DeviceTemplate categories{
        0, {{"newButton", "New"}, {"editButton", "Edit"}, {"deleteButton", "Delete"}}, CategoriesWithoutOk};
    static const DeviceTemplate editCategory{
        35,
        {{"nameEdit", "Name (e.g: Travel Time):"}, {"codeEdit", "Code (e.g: TRAV):"}, {"rateEdit", "Rate per hour:"}},
        [](QWidget* dialog) {
            dialog->setWindowTitle(QStringLiteral("Category"));
            UsePointDecimals(dialog);
        }};
    static const DeviceTemplate duration{0,
                                         {{"exactTimesCheck", "Enter the exact start and end times"},
                                          {"startPicker", "Start:"},
                                          {"endPicker", "End:"},
                                          {"hoursEdit", "Hours:"},
                                          {"minutesEdit", "Minutes:"}},
                                         nullptr};
    static const DeviceTemplate dateRange{
        83, {{"presetCombo", "Presets:"}, {"startPicker", "Start Date:"}, {"endPicker", "End Date:"}}, nullptr};
    static const DeviceTemplate prefs{0,
                                      {{"hideClientsCheck", "Hide clients that do not have projects"},
                                       {"colorAltRowsCheck", "Shade alternate rows (green && white)"},
                                       {"gridlinesCheck", "Show gridlines"},
                                       {"strikeOutCheck", "&Strike-out paid items"}},
                                      [](QWidget* page) {
                                          HideThemeChoice(page);
                                          UsePointDecimals(page);
                                      }};
    static const DeviceTemplate fieldLabels{
        0, {{"label1Edit", "Field 1:"}, {"label2Edit", "Field 2:"}, {"label3Edit", "Field 3:"}}, HideWrappedNotes};
    static const DeviceTemplate filterGeneral{0, {{"Billing Status:", "Bill Status:"}}, nullptr};
    static const DeviceTemplate filterCustom{0, {}, nullptr};

    // Derived classes before their bases.
    if (dynamic_cast<CDlgTimeDetails*>(widget)) return &time;
    if (dynamic_cast<CDlgExpenseDetails*>(widget)) return &expense;
    if (dynamic_cast<CDlgMileageDetails*>(widget)) return &mileage;
    if (dynamic_cast<CDlgBillingDetails*>(widget)) return &billing;
    if (dynamic_cast<CDlgCustom*>(widget)) return &custom;
    if (dynamic_cast<CDlgNotes*>(widget)) return &notes;
    if (dynamic_cast<CDlgClient*>(widget)) return &client;
    if (dynamic_cast<CDlgProject*>(widget)) return &project;
    if (dynamic_cast<CDlgCategories*>(widget)) return &categories;
    if (dynamic_cast<CDlgEditCategory*>(widget)) return &editCategory;
    if (dynamic_cast<CDlgEditDuration*>(widget)) return &duration;
    if (dynamic_cast<CDlgDateRange*>(widget)) return &dateRange;
    if (dynamic_cast<CDlgOptionsPrefs*>(widget)) return &prefs;
    if (dynamic_cast<CDlgOptionsCustomFields*>(widget)) return &fieldLabels;
    if (dynamic_cast<CDlgFilterGeneral*>(widget)) return &filterGeneral;
    if (dynamic_cast<CDlgFilterCustom*>(widget)) return &filterCustom;
    return nullptr;
}

// Lets the page shrink to the device's width: drop-downs and pickers give up their widest
// content, long captions wrap.
void FitControlsToNarrowScreen(QWidget* page)
{
    for (QComboBox* combo : page->findChildren<QComboBox*>()) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(6);
    }
    for (QAbstractSpinBox* spin : page->findChildren<QAbstractSpinBox*>())
        spin->setMinimumWidth(kNarrowControlWidth);
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->text().size() > kLongCaption)
            label->setWordWrap(true);
    }
    // The style's minimum button width is more than a short caption ("Calc.") needs.
    for (QPushButton* button : page->findChildren<QPushButton*>()) {
        if (button->objectName() != QLatin1String("okButton") && button->objectName() != QLatin1String("cancelButton"))
            button->setMinimumWidth(std::min(button->minimumSizeHint().width(),
                                             button->fontMetrics().horizontalAdvance(button->text()) + 16));
    }
}

// A caption in the first column beside a row of buttons moves onto a line of its own above the
// row, so rows of check boxes and radio buttons get the whole width.
void StackCaptionsAboveButtonRows(QGridLayout* grid)
{
    struct Placed {
        QLayoutItem* item;
        int row, column, rowSpan, columnSpan;
    };
    std::vector<Placed> items;
    for (int index = 0; index < grid->count(); ++index) {
        Placed placed{grid->itemAt(index), 0, 0, 0, 0};
        grid->getItemPosition(index, &placed.row, &placed.column, &placed.rowSpan, &placed.columnSpan);
        items.push_back(placed);
    }
    auto isStacked = [&](int row) {
        bool caption = false;
        bool buttonRow = false;
        for (const Placed& placed : items) {
            if (placed.row != row)
                continue;
            if (placed.column == 0 && qobject_cast<QLabel*>(placed.item->widget()))
                caption = true;
            else if (placed.column == 1 && placed.item->layout() != nullptr)
                buttonRow = true;
        }
        return caption && buttonRow;
    };
    const int columns = grid->columnCount();
    std::vector<int> newRow(static_cast<size_t>(grid->rowCount()) + 1, 0);
    bool any = false;
    for (int row = 0, shift = 0; row < grid->rowCount(); ++row) {
        newRow[static_cast<size_t>(row)] = row + shift;
        if (isStacked(row)) {
            ++shift;
            any = true;
        }
    }
    if (!any)
        return;
    while (grid->count() > 0)
        grid->takeAt(0);
    for (const Placed& placed : items) {
        const int row = newRow[static_cast<size_t>(placed.row)];
        if (isStacked(placed.row) && placed.column == 1)
            grid->addItem(placed.item, row + 1, 0, 1, columns);
        else if (isStacked(placed.row))
            grid->addItem(placed.item, row, 0, 1, columns);
        else
            grid->addItem(placed.item, row, placed.column, placed.rowSpan, placed.columnSpan);
    }
}

// Narrow margins: every pixel of the handheld's width goes to the controls.
void UseDeviceMargins(QWidget* widget, int margin)
{
    if (QLayout* layout = widget->layout())
        layout->setContentsMargins(margin, margin, margin, margin);
}

void ApplyTemplate(QWidget* widget, const DeviceTemplate& deviceTemplate)
{
    UseDeviceMargins(widget, kDeviceMargin);
    for (QGridLayout* grid : widget->findChildren<QGridLayout*>())
        StackCaptionsAboveButtonRows(grid);
    FlattenGroups(widget);
    for (const Caption& caption : deviceTemplate.captions)
        ApplyCaption(widget, caption);
    if (deviceTemplate.extra)
        deviceTemplate.extra(widget);
    FitControlsToNarrowScreen(widget);
    if (deviceTemplate.titleId != 0)
        AddPageTitle(widget, deviceTemplate.titleId);
    MakeFieldLabelsBold(widget);
}

// Pocket PC sheets carry their tabs at the bottom, above the command bar.
void TabsAtTheBottom(CPropertySheetEx* sheet)
{
    auto* tabs = sheet->findChild<QTabBar*>(QStringLiteral("sheetTabs"));
    auto* layout = qobject_cast<QBoxLayout*>(sheet->layout());
    if (!tabs || !layout || layout->indexOf(tabs) != 0)
        return;
    layout->removeWidget(tabs);
    layout->insertWidget(1, tabs);
    tabs->setShape(QTabBar::RoundedSouth);
}

bool MarkApplied(QWidget* widget)
{
    if (widget->property(kAppliedProperty).toBool())
        return false;
    widget->setProperty(kAppliedProperty, true);
    return true;
}

}   // namespace

QSize DeviceScreenSize()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(top) && top->isVisible())
            return top->size();
    }
    return QSize(240, 320);
}

void FitToDeviceScreen(QWidget* dialog)
{
    // The layout keeps the window's minimum at what the controls needed before the device look.
    // Captions changed by the device look ask for a new layout later; it is needed now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (QLayout* inner : dialog->findChildren<QLayout*>())
        inner->invalidate();
    if (QLayout* layout = dialog->layout())
        layout->activate();
    dialog->resize(DeviceScreenSize());
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(top) && top->isVisible()) {
            dialog->move(top->pos());
            return;
        }
    }
}

void AddPageTitle(QWidget* page, unsigned titleStringId)
{
    if (page->findChild<CPageTitle*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    new CPageTitle(qtconv::ToQString(GetResString(titleStringId, 1)), page);
    if (QLayout* layout = page->layout()) {
        QMargins margins = layout->contentsMargins();
        margins.setTop(titlestrip::kHeight + 1 + 4);
        layout->setContentsMargins(margins);
    }
}

void MakeFieldLabelsBold(QWidget* page)
{
    const QFont bold = titlestrip::BoldFont(page->font());
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->text().endsWith(QLatin1Char(':')))
            label->setFont(bold);
    }
}

void ApplyDeviceLook(QWidget* widget)
{
    if (widget == nullptr)
        return;
    if (auto* sheet = dynamic_cast<CPropertySheetEx*>(widget)) {
        // A sheet is polished as soon as anything asks for its size, maybe before its first page
        // exists: pages and size are seen to again whenever it is shown.
        if (MarkApplied(sheet)) {
            TabsAtTheBottom(sheet);
            // The desktop's sheets keep a width the handheld's screen does not have.
            sheet->setMinimumSize(0, 0);
            UseDeviceMargins(sheet, kDeviceMargin / 2);
        }
        // The pages first: their device captions are narrower than the desktop's.
        for (int index = 0; index < sheet->GetPageCount(); ++index) {
            CPropertyPage* page = sheet->GetPage(index);
            if (page && page->IsCreated())
                ApplyDeviceLook(page);
        }
        FitToDeviceScreen(sheet);
        return;
    }
    auto* page = dynamic_cast<CPropertyPage*>(widget);
    if (page == nullptr && dynamic_cast<CDialog*>(widget) == nullptr)
        return;
    if (page && !page->IsCreated())
        return;   // its controls do not exist yet
    const DeviceTemplate* deviceTemplate = TemplateOf(widget);
    if (deviceTemplate == nullptr)
        return;
    if (MarkApplied(widget)) {
        ApplyTemplate(widget, *deviceTemplate);
        // A page made after its sheet was shown may have widened the sheet before it got its
        // device look.
        if (page && dynamic_cast<CPropertySheetEx*>(page->window()) && page->window()->isVisible())
            FitToDeviceScreen(page->window());
    }
    if (widget->isWindow())
        FitToDeviceScreen(widget);
}

bool CDeviceDialogLook::eventFilter(QObject* watched, QEvent* event)
{
    // Pages are made on their first showing, after the sheet was polished: they get theirs on Show.
    if ((event->type() == QEvent::Polish || event->type() == QEvent::Show) && watched->isWidgetType())
        ApplyDeviceLook(static_cast<QWidget*>(watched));
    return QObject::eventFilter(watched, event);
}
