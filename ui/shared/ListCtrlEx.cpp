#include "ui/shared/ListCtrlEx.h"

#include <algorithm>

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "biz/EntryMatcher.h"

namespace {

constexpr int kSortKeyRole = Qt::UserRole + 9;
constexpr int kSortOrderRole = Qt::UserRole + 10;   // the position the row was added at

bool IsNumber(const QVariant& value) {
    const int type = value.metaType().id();
    return type == QMetaType::Double || type == QMetaType::Int || type == QMetaType::LongLong ||
           type == QMetaType::Float;
}

int CompareKeys(const QVariant& a, const QVariant& b) {
    if (IsNumber(a) && IsNumber(b)) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    return a.toString().compare(b.toString());
}

QString FoldedText(const QString& text) {
    return QString::fromStdU16String(CEntryMatcher::Fold(text.toStdU16String()));
}

// Fonts and colours per row, decided from the row's item value and the list's switches.
class RowDelegate : public QStyledItemDelegate {
public:
    explicit RowDelegate(CListCtrlEx* list) : QStyledItemDelegate(list), m_list(list) {}

    // With word wrap on, a row is as high as its wrapped text in the column's width.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (!m_list->wordWrap())
            return QStyledItemDelegate::sizeHint(option, index);
        QStyleOptionViewItem wrapped(option);
        wrapped.features |= QStyleOptionViewItem::WrapText;
        wrapped.rect = QRect(0, 0, m_list->columnWidth(index.column()), 10000);   // any height: width decides
        return QStyledItemDelegate::sizeHint(wrapped, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const int row = index.row();
        option->font = m_list->RowFont(row);
        if (const QColor text = m_list->RowTextColor(row); text.isValid())
            option->palette.setColor(QPalette::Text, text);
    }

private:
    CListCtrlEx* m_list;
};

}   // namespace

CListCtrlEx::CListCtrlEx(QWidget* parent) : QTreeWidget(parent), m_adapter(this) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setIconSize(QSize(16, 16));
    header()->setSectionsClickable(false);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    setSortingEnabled(false);
    setItemDelegate(new RowDelegate(this));
    connect(header(), &QHeaderView::sectionResized, this, &CListCtrlEx::OnSectionResized);
    connect(header(), &QHeaderView::sectionMoved, this, [this] { emit columnsArranged(); });
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (header()->sectionsClickable())
            emit sortRequested(column);
    });
}

void CListCtrlEx::SetMultiSelect(bool multi) {
    setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

std::vector<int> CListCtrlEx::GetSelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CListCtrlEx::SetSortable(bool sortable) {
    header()->setSectionsClickable(sortable);
    header()->setSortIndicatorShown(sortable);
    header()->setSectionsMovable(sortable);
    header()->setFirstSectionMovable(sortable);
}

void CListCtrlEx::SetSortKey(int row, int column, const QVariant& key) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return;
    item->setData(column, kSortKeyRole, key.metaType().id() == QMetaType::QString ? FoldedText(key.toString()) : key);
}

void CListCtrlEx::SortRows(int column, bool ascending) {
    if (column < 0 || column >= columnCount())
        return;
    header()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    struct Row {
        QVariant key;
        qlonglong order;
        QTreeWidgetItem* item;
        bool selected;
    };
    std::vector<Row> rows;
    rows.reserve(static_cast<size_t>(topLevelItemCount()));
    for (int index = 0; index < topLevelItemCount(); ++index) {
        QTreeWidgetItem* item = topLevelItem(index);
        if (!item->data(0, kSortOrderRole).isValid())
            item->setData(0, kSortOrderRole, qlonglong(index));
        QVariant key = item->data(column, kSortKeyRole);
        if (!key.isValid())
            key = FoldedText(item->text(column));
        rows.push_back({key, item->data(0, kSortOrderRole).toLongLong(), item, item->isSelected()});
    }
    std::stable_sort(rows.begin(), rows.end(), [ascending](const Row& a, const Row& b) {
        const int order = CompareKeys(a.key, b.key);
        if (order != 0)
            return ascending ? order < 0 : order > 0;
        return a.order < b.order;
    });
    QTreeWidgetItem* current = currentItem();
    // Taken out and put back in one go: row by row costs the square of the rows.
    const QList<QTreeWidgetItem*> taken = invisibleRootItem()->takeChildren();
    (void)taken;   // the same items, re-added below
    QList<QTreeWidgetItem*> sorted;
    sorted.reserve(static_cast<qsizetype>(rows.size()));
    for (const Row& row : rows)
        sorted.append(row.item);
    addTopLevelItems(sorted);
    QItemSelection selection;
    for (const Row& row : rows) {
        if (row.selected) {
            const QModelIndex index = indexFromItem(row.item);
            selection.select(index, index);
        }
    }
    if (current)
        setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QString CListCtrlEx::ColumnStateText() const {
    QStringList order;
    QStringList widths;
    for (int visual = 0; visual < columnCount(); ++visual)
        order.append(QString::number(header()->logicalIndex(visual)));
    for (int column = 0; column < columnCount(); ++column)
        widths.append(QString::number(UserColumnWidth(column)));
    return QStringLiteral("order:%1;widths:%2").arg(order.join(QLatin1Char(',')), widths.join(QLatin1Char(',')));
}

bool CListCtrlEx::ApplyColumnStateText(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(';'));
    if (parts.size() != 2 || !parts[0].startsWith(QLatin1String("order:")) ||
        !parts[1].startsWith(QLatin1String("widths:")))
        return false;
    const QStringList order = parts[0].mid(6).split(QLatin1Char(','));
    const QStringList widths = parts[1].mid(7).split(QLatin1Char(','));
    const int count = columnCount();
    if (order.size() != count || widths.size() != count)
        return false;
    std::vector<int> logical;
    std::vector<int> given;
    for (int i = 0; i < count; ++i) {
        bool numberOk = false;
        bool widthOk = false;
        logical.push_back(order[i].toInt(&numberOk));
        given.push_back(widths[i].toInt(&widthOk));
        if (!numberOk || !widthOk || logical.back() < 0 || logical.back() >= count || given.back() < 0 ||
            given.back() > 10000)
            return false;
    }
    if (std::vector<int> sorted = logical;
        std::sort(sorted.begin(), sorted.end()), std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
        return false;
    for (int visual = 0; visual < count; ++visual)
        header()->moveSection(header()->visualIndex(logical[static_cast<size_t>(visual)]), visual);
    for (int column = 0; column < count; ++column) {
        if (given[static_cast<size_t>(column)] > 0)
            SetUserColumnWidth(column, given[static_cast<size_t>(column)]);
    }
    return true;
}

void CListCtrlEx::SetUserColumnWidth(int column, int width) {
    if (column < 0 || column >= columnCount() || width <= 0)
        return;
    if (static_cast<size_t>(column) >= m_userWidths.size())
        m_userWidths.resize(static_cast<size_t>(columnCount()), 0);
    m_userWidths[static_cast<size_t>(column)] = width;
    m_bFitting = true;
    setColumnWidth(column, width);
    m_bFitting = false;
    if (!m_columnFits.empty())
        FitColumns();
    emit columnsArranged();
}

int CListCtrlEx::UserColumnWidth(int column) const {
    return column >= 0 && static_cast<size_t>(column) < m_userWidths.size() ? m_userWidths[static_cast<size_t>(column)]
                                                                            : 0;
}

void CListCtrlEx::ResetColumns() {
    m_userWidths.assign(static_cast<size_t>(columnCount()), 0);
    for (int column = 0; column < columnCount(); ++column)
        header()->moveSection(header()->visualIndex(column), column);
    if (!m_columnFits.empty())
        FitColumns();
}

void CListCtrlEx::OnSectionResized(int column, int, int newWidth) {
    // Only a drag of the header's edge is the user's choice; fitting and the program's own
    // widths come with no mouse button held.
    if (m_bFitting || !(QApplication::mouseButtons() & Qt::LeftButton) || !header()->underMouse())
        return;
    SetUserColumnWidth(column, newWidth);
}

CListCtrlEx::ColumnFit CListCtrlEx::FitOf(int column) const {
    if (UserColumnWidth(column) > 0 || static_cast<size_t>(column) >= m_columnFits.size())
        return ColumnFit::Fixed;
    return m_columnFits[static_cast<size_t>(column)];
}

void CListCtrlEx::CreateFonts(const QFont& font) {
    setFont(font);
    m_fontNormal = font;
    m_fontBold = font;
    m_fontBold.setWeight(QFont::Bold);
    m_fontStrikeOut = font;
    m_fontStrikeOut.setWeight(QFont::Normal);
    m_fontStrikeOut.setStrikeOut(true);
}

int CListCtrlEx::GetRowValue(int row) const {
    // Stored as the unsigned image of a signed int.
    return static_cast<int>(static_cast<intptr_t>(m_adapter.GetItemData(row)));
}

QFont CListCtrlEx::RowFont(int row) const {
    if (!m_bSwitchFonts)
        return font();
    if (GetRowValue(row) < 0)
        return m_bBoldInsteadOfStrikeOut ? m_fontBold : m_fontStrikeOut;
    return m_fontNormal;
}

QColor CListCtrlEx::RowTextColor(int row) const {
    // The summary's bold headings stay black; paid entries go grey unless rows are shaded.
    if (GetRowValue(row) < 0 && !m_bColorAltRows && !m_bBoldInsteadOfStrikeOut)
        return PaidTextColor();
    return QColor();
}

QColor CListCtrlEx::RowBackground(int row) const {
    return (m_bColorAltRows && row % 2 == 0) ? AltRowColor() : QColor();
}

int CListCtrlEx::GetSelectedRow() const { return m_adapter.GetNextItem(-1, LVNI_SELECTED); }

void CListCtrlEx::SelectRow(int row) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return;
    setCurrentItem(item);
    item->setSelected(true);
}

void CListCtrlEx::StretchColumn(int column, int slack) {
    if (UserColumnWidth(column) > 0)
        return;
    int others = 0;
    for (int c = 0; c < columnCount(); ++c) {
        if (c != column)
            others += columnWidth(c);
    }
    // The viewport already leaves out the vertical scroll bar when it shows.
    const int width = viewport()->width() - others - slack;
    m_bFitting = true;
    setColumnWidth(column, std::max(width, 20));
    m_bFitting = false;
}

void CListCtrlEx::SetColumnFit(int column, ColumnFit fit) {
    if (column < 0)
        return;
    if (static_cast<size_t>(column) >= m_columnFits.size())
        m_columnFits.resize(static_cast<size_t>(column) + 1, ColumnFit::Fixed);
    m_columnFits[static_cast<size_t>(column)] = fit;
}

int CListCtrlEx::ContentWidth(int column) const {
    // The view measures the rows from the first one shown, a thousand at most: the longest
    // texts of the others are measured as well, so that no cell of a long or scrolled list is
    // cut. Texts of one length are of much the same width (dates, amounts, codes).
    int widest = sizeHintForColumn(column);
    const bool allMeasured =
        verticalScrollBar()->value() == 0 && topLevelItemCount() <= std::max(0, header()->resizeContentsPrecision());
    if (!allMeasured) {
        for (int row : LongestTextRows(column))
            widest = std::max(widest, CellWidth(row, column));
    }
    return std::max(header()->sectionSizeHint(column), widest) + 6;
}

std::vector<int> CListCtrlEx::LongestTextRows(int column) const {
    constexpr int kMostMeasured = 32;
    std::vector<int> rows;
    qsizetype longest = 0;
    for (int row = 0; row < topLevelItemCount(); ++row) {
        const qsizetype length = topLevelItem(row)->text(column).size();
        if (length > longest) {
            longest = length;
            rows.clear();
        }
        if (length == longest && static_cast<int>(rows.size()) < kMostMeasured)
            rows.push_back(row);
    }
    return rows;
}

int CListCtrlEx::CellWidth(int row, int column) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex index = indexFromItem(topLevelItem(row), column);
    return itemDelegateForIndex(index)->sizeHint(option, index).width();
}

void CListCtrlEx::FitColumns() {
    m_bFitting = true;
    constexpr int kSlack = 5;
    int room = viewport()->width() - kSlack;
    int stretch = -1;
    std::vector<std::pair<int, int>> shrinkable;   // column, wanted width
    for (int column = 0; column < columnCount(); ++column) {
        const ColumnFit fit = FitOf(column);
        if (UserColumnWidth(column) > 0)
            setColumnWidth(column, UserColumnWidth(column));
        if (fit == ColumnFit::Content)
            setColumnWidth(column, ContentWidth(column));
        if (fit == ColumnFit::Shrinkable)
            shrinkable.emplace_back(column, ContentWidth(column));
        else if (fit == ColumnFit::Stretch)
            stretch = column;
        else
            room -= columnWidth(column);
    }
    const int stretchMinimum = stretch >= 0 ? std::max(header()->sectionSizeHint(stretch) + 6, 120) : 0;
    int wanted = 0;
    for (const auto& [column, width] : shrinkable)
        wanted += width;
    // Short of room, the shrinkable columns and the stretch column share it evenly.
    const bool roomy = wanted + stretchMinimum <= room;
    const int parts = static_cast<int>(shrinkable.size()) + (stretch >= 0 ? 1 : 0);
    const int share = parts > 0 ? room / parts : room;
    for (const auto& [column, width] : shrinkable) {
        const int floor = header()->sectionSizeHint(column) + 6;
        const int given = roomy ? width : std::clamp(share, floor, std::max(floor, width));
        setColumnWidth(column, given);
        room -= given;
    }
    if (stretch >= 0)
        setColumnWidth(stretch, std::max(room, stretchMinimum));
    m_bFitting = false;
}

void CListCtrlEx::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    if (!m_columnFits.empty())
        FitColumns();
    else if (m_nStretchColumn >= 0 && m_nStretchColumn < columnCount())
        StretchColumn(m_nStretchColumn);
    if (wordWrap())
        scheduleDelayedItemsLayout();   // wrapped rows change height with the column
}

void CListCtrlEx::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deleteKeyPressed();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        emit escapePressed();
    QTreeWidget::keyPressEvent(event);
}

void CListCtrlEx::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_bContextMenu) {
        QTreeWidget::contextMenuEvent(event);
        return;
    }
    emit contextMenuWanted(event->globalPos());
}

void CListCtrlEx::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        emit rowDoubleClicked(index.row());
}

void CListCtrlEx::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    // Even rows (the first, third, ...) take the shade when shading is on.
    if (const QColor shade = RowBackground(index.row());
        shade.isValid() && !selectionModel()->isRowSelected(index.row(), index.parent()))
        painter->fillRect(option.rect, shade);
    QTreeWidget::drawRow(painter, option, index);
    if (m_adapter.GetExtendedStyle() & LVS_EX_GRIDLINES) {
        painter->save();
        painter->setPen(palette().color(QPalette::Mid));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        int x = -header()->offset();
        for (int visual = 0; visual < columnCount(); ++visual) {
            x += columnWidth(header()->logicalIndex(visual));
            painter->drawLine(x - 1, option.rect.top(), x - 1, option.rect.bottom());
        }
        painter->restore();
    }
}
