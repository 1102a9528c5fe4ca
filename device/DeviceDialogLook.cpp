#include "device/DeviceDialogLook.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <QVariant>

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "biz/Helpers.h"
#include "device/PageTitle.h"
#include "device/TitleStrip.h"
#include "platform/StringTable.h"
#include "ui/qt/Dialog.h"
#include "ui/qt/PropertyPage.h"
#include "ui/qt/PropertySheetEx.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/HasDeviceLook.h"
#include "ui/shared/dialogs/FloatSpinButtonCtrl.h"

namespace {

const char* const kAppliedProperty = "quillmarDeviceLook";
constexpr int kNarrowControlWidth = 60;
constexpr int kDeviceMargin = 4;
constexpr int kLongCaption = 24;   // characters; longer captions wrap

QString DeviceText(unsigned id) { return qtconv::ToQString(StringTable::Get(id)); }

// The dialog's class, for messages.
std::string ClassName(const QWidget& widget) {
    const char* mangled = typeid(widget).name();
    std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, nullptr),
                                                     &std::free);
    return name ? name.get() : mangled;
}

QWidget* Named(QWidget* root, const char* name) { return root->findChild<QWidget*>(QString::fromLatin1(name)); }

QLabel* BuddyLabelOf(QWidget* page, QWidget* control) {
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->buddy() == control)
            return label;
    }
    return nullptr;
}

void ApplyCaptions(QWidget* page, const DeviceLook& look) {
    for (const DeviceLook::Caption& caption : look.captions) {
        QWidget* target = CaptionTarget(*page, caption.widget);
        if (auto* label = qobject_cast<QLabel*>(target))
            label->setText(DeviceText(caption.textId));
        else if (auto* button = qobject_cast<QAbstractButton*>(target))
            button->setText(DeviceText(caption.textId));
    }
}

void HideDesktopOnlyWidgets(QWidget* page, const DeviceLook& look) {
    for (const char* name : look.hidden) {
        QWidget* widget = Named(page, name);
        if (widget == nullptr)
            continue;
        widget->hide();
        if (QLabel* label = BuddyLabelOf(page, widget))
            label->hide();
    }
}

// The widget takes the room of the one hidden beside it in its grid row.
void Widen(QWidget* page, const char* name) {
    QWidget* widget = name ? Named(page, name) : nullptr;
    for (QGridLayout* grid : page->findChildren<QGridLayout*>()) {
        const int index = widget ? grid->indexOf(widget) : -1;
        if (index < 0)
            continue;
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        grid->removeWidget(widget);
        grid->addWidget(widget, row, column, rowSpan, columnSpan + 1);
        return;
    }
}

void MakeDefault(QWidget* page, const char* name) {
    if (auto* button = qobject_cast<QPushButton*>(name ? Named(page, name) : nullptr))
        button->setDefault(true);
}

// Group frames take room the device's screen does not have; their controls stay where they are.
void FlattenGroups(QWidget* page) {
    for (QGroupBox* group : page->findChildren<QGroupBox*>()) {
        group->setTitle(QString());
        group->setFlat(true);
        group->setStyleSheet(QStringLiteral("QGroupBox { border: none; margin: 0px; padding: 0px; }"));
        if (QLayout* inner = group->layout())
            inner->setContentsMargins(0, 0, 0, 0);
    }
}

// A group title wider than the screen moves into a wrapped caption at the top of the group.
void WrapGroupTitle(QGroupBox* group, int room) {
    auto* grid = qobject_cast<QGridLayout*>(group->layout());
    QFont bold = group->font();
    bold.setBold(true);
    if (grid == nullptr || QFontMetrics(bold).horizontalAdvance(group->title()) + 16 <= room)
        return;
    auto* caption = new QLabel(group->title(), group);
    caption->setObjectName(QStringLiteral("groupTitleLabel"));
    caption->setFont(bold);
    caption->setWordWrap(true);
    group->setTitle(QString());
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
    const int columns = std::max(1, grid->columnCount());
    while (grid->count() > 0)
        grid->takeAt(0);
    grid->addWidget(caption, 0, 0, 1, columns);
    for (const Placed& placed : items)
        grid->addItem(placed.item, placed.row + 1, placed.column, placed.rowSpan, placed.columnSpan);
}

// Groups that keep their titles keep only a narrow frame around their controls.
void UseNarrowGroupMargins(QWidget* page) {
    for (QGroupBox* group : page->findChildren<QGroupBox*>()) {
        WrapGroupTitle(group, DeviceScreenSize().width() - 4 * kDeviceMargin);
        if (QLayout* inner = group->layout())
            inner->setContentsMargins(1, kDeviceMargin, 1, 1);
        if (auto* grid = qobject_cast<QGridLayout*>(group->layout()))
            grid->setHorizontalSpacing(kDeviceMargin);
    }
}

// The handheld's decimal up-downs always show ".", whatever the locale.
void UsePointDecimals(QWidget* page) {
    // The up-down has no meta-object of its own, so findChildren cannot tell it apart.
    for (QWidget* child : page->findChildren<QWidget*>()) {
        if (auto* spin = dynamic_cast<CFloatSpinButtonCtrl*>(child))
            spin->SetDecimalSymbol(u'.');
    }
}

// Lets the page shrink to the device's width: drop-downs and pickers give up their widest
// content, long captions wrap.
void FitControlsToNarrowScreen(QWidget* page) {
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
void StackCaptionsAboveButtonRows(QGridLayout* grid, bool allCaptions) {
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
            else if (placed.column == 1 && (allCaptions || placed.item->layout() != nullptr))
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
        if (allCaptions && isStacked(placed.row) && placed.column >= 1)
            grid->addItem(placed.item, row + 1, placed.column - 1, 1, placed.columnSpan);
        else if (isStacked(placed.row) && placed.column == 1)
            grid->addItem(placed.item, row + 1, 0, 1, columns);
        else if (isStacked(placed.row))
            grid->addItem(placed.item, row, 0, 1, columns);
        else
            grid->addItem(placed.item, row, placed.column, placed.rowSpan, placed.columnSpan);
    }
    if (allCaptions) {
        // The fields moved one column to the left; the first column now holds them.
        for (int column = 0; column < columns; ++column)
            grid->setColumnStretch(column, column == 0 ? 1 : 0);
    }
}

// Narrow margins: every pixel of the handheld's width goes to the controls.
void UseDeviceMargins(QWidget* widget, int margin) {
    if (QLayout* layout = widget->layout())
        layout->setContentsMargins(margin, margin, margin, margin);
}

void ApplyLook(QWidget* widget, const DeviceLook& look) {
    const QStringList missing = MissingDeviceLookWidgets(*widget, look);
    if (!missing.isEmpty()) {
        qWarning("the device look of %s names widgets it does not have: %s", ClassName(*widget).c_str(),
                 qPrintable(missing.join(QStringLiteral(", "))));
    }
    UseDeviceMargins(widget, kDeviceMargin);
    for (QGridLayout* grid : widget->findChildren<QGridLayout*>())
        StackCaptionsAboveButtonRows(grid, look.captionsAbove);
    if (look.keepGroups)
        UseNarrowGroupMargins(widget);
    else
        FlattenGroups(widget);
    ApplyCaptions(widget, look);
    HideDesktopOnlyWidgets(widget, look);
    Widen(widget, look.widened);
    MakeDefault(widget, look.defaultButton);
    if (look.windowTitleId != 0)
        widget->setWindowTitle(DeviceText(look.windowTitleId));
    UsePointDecimals(widget);
    FitControlsToNarrowScreen(widget);
    if (look.titleId != 0)
        AddPageTitle(widget, look.titleId);
    MakeFieldLabelsBold(widget);
}

// Pocket PC sheets carry their tabs at the bottom, above the command bar.
void TabsAtTheBottom(CPropertySheetEx* sheet) {
    auto* tabs = sheet->findChild<QTabBar*>(QStringLiteral("sheetTabs"));
    auto* layout = qobject_cast<QBoxLayout*>(sheet->layout());
    if (!tabs || !layout || layout->indexOf(tabs) != 0)
        return;
    layout->removeWidget(tabs);
    layout->insertWidget(1, tabs);
    tabs->setShape(QTabBar::RoundedSouth);
}

bool MarkApplied(QWidget* widget) {
    if (widget->property(kAppliedProperty).toBool())
        return false;
    widget->setProperty(kAppliedProperty, true);
    return true;
}

int g_tapTarget = 27;   // 7 mm at 96 dots per inch

}   // namespace

void SetDeviceTapTarget(int pixels) { g_tapTarget = std::max(1, pixels); }

int DeviceTapTarget() { return g_tapTarget; }

void GrowTapTargets(QWidget* root) {
    const int tap = g_tapTarget;
    // Up-down arrows side by side, each a whole target, instead of two halves of one.
    for (QWidget* child : root->findChildren<QWidget*>()) {
        if (!dynamic_cast<CSpinButtonCtrl*>(child))
            continue;
        if (auto* row = qobject_cast<QBoxLayout*>(child->layout()))
            row->setDirection(QBoxLayout::RightToLeft);
        for (QToolButton* arrow : child->findChildren<QToolButton*>())
            arrow->setFixedSize(tap, tap);
    }
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (!dynamic_cast<CSpinButtonCtrl*>(button->parentWidget()) && button->minimumHeight() < tap)
            button->setMinimumHeight(tap);
    }
    for (QComboBox* combo : root->findChildren<QComboBox*>())
        combo->setMinimumHeight(std::max(combo->minimumHeight(), tap));
    // Multi-line boxes give up height first, down to two lines, so that OK stays on the screen.
    for (QAbstractScrollArea* box : root->findChildren<QAbstractScrollArea*>()) {
        if (qobject_cast<QTextEdit*>(box) || qobject_cast<QPlainTextEdit*>(box))
            box->setMinimumHeight(2 * box->fontMetrics().lineSpacing() + 2 * box->frameWidth() + 8);
    }
    for (QLineEdit* edit : root->findChildren<QLineEdit*>()) {
        if (!qobject_cast<QAbstractSpinBox*>(edit->parentWidget()) && !qobject_cast<QComboBox*>(edit->parentWidget()))
            edit->setMinimumHeight(std::max(edit->minimumHeight(), tap));
    }
    for (QAbstractSpinBox* spin : root->findChildren<QAbstractSpinBox*>())
        spin->setMinimumHeight(std::max(spin->minimumHeight(), tap));
    // The tree's expand arrows sit in its indentation; rows of lists and trees as high as a finger.
    for (QAbstractItemView* view : root->findChildren<QAbstractItemView*>()) {
        auto* tree = qobject_cast<QTreeView*>(view);
        if (tree && tree->rootIsDecorated())
            tree->setIndentation(std::max(tree->indentation(), tap));
        if (view->styleSheet().isEmpty())
            view->setStyleSheet(QStringLiteral("QTreeView::item, QListView::item { min-height: %1px; }").arg(tap));
    }
}

QSize DeviceScreenSize() { return DeviceScreenRect().size(); }

QRect DeviceScreenRect() {
    if (const QWidget* main = DeviceMainWindow())
        return main->geometry();
    return QRect(QPoint(0, 0), QSize(240, 320));
}

QWidget* DeviceMainWindow() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(top) && top->isVisible())
            return top;
    }
    return nullptr;
}

void KeepInsideDeviceScreen(QWidget* window) {
    const QRect screen = DeviceScreenRect();
    const QRect frame = window->frameGeometry();
    const int left = std::max(screen.left(), std::min(frame.left(), screen.right() + 1 - frame.width()));
    const int top = std::max(screen.top(), std::min(frame.top(), screen.bottom() + 1 - frame.height()));
    if (left != frame.left() || top != frame.top())
        window->move(left, top);
}

void FitMessageBoxToDeviceScreen(QMessageBox* box) {
    const QRect screen = DeviceScreenRect();
    const int widest = std::max(120, screen.width() - 2 * kDeviceMargin);
    if (box->width() <= widest && screen.contains(box->geometry()))
        return;
    // Long texts wrap; the buttons stay in a row the width of the screen.
    for (QLabel* label : box->findChildren<QLabel*>())
        label->setWordWrap(true);
    QLayout* layout = box->layout();
    int width = box->width();
    if (width > widest)
        width = widest;
    int height = box->height();
    if (layout) {
        layout->invalidate();
        height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : layout->totalSizeHint().height();
    }
    height = std::min(height, screen.height());
    box->setFixedSize(width, height);
    box->move(screen.left() + (screen.width() - width) / 2, screen.top() + (screen.height() - height) / 2);
}

void FitToDeviceScreen(QWidget* dialog) {
    // The layout keeps the window's minimum at what the controls needed before the device look.
    // Captions changed by the device look ask for a new layout later; it is needed now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (QLayout* inner : dialog->findChildren<QLayout*>())
        inner->invalidate();
    if (QLayout* layout = dialog->layout())
        layout->activate();
    // Over the main window's own area: moving by the frame's corner would leave a not yet
    // mapped dialog a title bar's height above it.
    if (const QWidget* main = DeviceMainWindow())
        dialog->setGeometry(main->geometry());
    else
        dialog->resize(DeviceScreenSize());
}

void AddPageTitle(QWidget* page, unsigned titleStringId) {
    if (page->findChild<CPageTitle*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    new CPageTitle(qtconv::ToQString(GetResString(titleStringId, 1)), page);
    if (QLayout* layout = page->layout()) {
        QMargins margins = layout->contentsMargins();
        margins.setTop(titlestrip::kHeight + 1 + 4);
        layout->setContentsMargins(margins);
    }
}

void MakeFieldLabelsBold(QWidget* page) {
    const QFont bold = titlestrip::BoldFont(page->font());
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->text().endsWith(QLatin1Char(':')))
            label->setFont(bold);
    }
}

void ApplyDeviceLook(QWidget* widget) {
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
    const auto* declared = dynamic_cast<const CHasDeviceLook*>(widget);
    if (declared == nullptr)
        return;
    if (MarkApplied(widget)) {
        ApplyLook(widget, declared->GetDeviceLook());
        // A page made after its sheet was shown may have widened the sheet before it got its
        // device look.
        if (page && dynamic_cast<CPropertySheetEx*>(page->window()) && page->window()->isVisible())
            FitToDeviceScreen(page->window());
    }
    if (widget->isWindow())
        FitToDeviceScreen(widget);
}

bool CDeviceDialogLook::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    // Before the look fits the window to the screen, which the targets' sizes take part in.
    if (event->type() == QEvent::Show && (qobject_cast<QDialog*>(widget) || dynamic_cast<CPropertyPage*>(widget)))
        GrowTapTargets(widget);
    // Pages are made on their first showing, after the sheet was polished: they get theirs on Show.
    if (event->type() == QEvent::Polish || event->type() == QEvent::Show)
        ApplyDeviceLook(widget);
    // Menus, drop-down lists and calendars open where they were asked to, maybe past an edge.
    if (event->type() == QEvent::Show && widget->isWindow() && widget->windowType() == Qt::Popup)
        KeepInsideDeviceScreen(widget);
    // A message box sizes itself for a desktop screen while it is being shown.
    if (event->type() == QEvent::Resize && widget->isVisible()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget))
            FitMessageBoxToDeviceScreen(box);
    }
    return QObject::eventFilter(watched, event);
}
