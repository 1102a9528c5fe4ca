#include "ui/shared/ListCtrlEx.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

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
    int others = 0;
    for (int c = 0; c < columnCount(); ++c) {
        if (c != column)
            others += columnWidth(c);
    }
    // The viewport already leaves out the vertical scroll bar when it shows.
    const int width = viewport()->width() - others - slack;
    setColumnWidth(column, std::max(width, 20));
}

void CListCtrlEx::SetColumnFit(int column, ColumnFit fit) {
    if (column < 0)
        return;
    if (static_cast<size_t>(column) >= m_columnFits.size())
        m_columnFits.resize(static_cast<size_t>(column) + 1, ColumnFit::Fixed);
    m_columnFits[static_cast<size_t>(column)] = fit;
}

int CListCtrlEx::ContentWidth(int column) const {
    return std::max(header()->sectionSizeHint(column), sizeHintForColumn(column)) + 6;
}

void CListCtrlEx::FitColumns() {
    constexpr int kSlack = 5;
    int room = viewport()->width() - kSlack;
    int stretch = -1;
    std::vector<std::pair<int, int>> shrinkable;   // column, wanted width
    for (int column = 0; column < columnCount(); ++column) {
        const ColumnFit fit = static_cast<size_t>(column) < m_columnFits.size()
                                  ? m_columnFits[static_cast<size_t>(column)]
                                  : ColumnFit::Fixed;
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
        for (int c = 0; c < columnCount(); ++c) {
            x += columnWidth(c);
            painter->drawLine(x - 1, option.rect.top(), x - 1, option.rect.bottom());
        }
        painter->restore();
    }
}
