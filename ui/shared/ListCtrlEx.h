#pragma once
// The program's own report list: used by the entries view and the quick summary. Rows carry
// a signed item value (negative marks a paid entry, or a heading row in the summary); rows
// are drawn with the normal, bold or struck-out font, grey text and shaded alternate rows as
// the switches below say. The library reaches the list through AsListCtrl().
#include <vector>

#include <QFont>
#include <QString>
#include <QTreeWidget>
#include <QVariant>

#include "ui/qt/QtListCtrl.h"

class CListCtrlEx : public QTreeWidget {
    Q_OBJECT
public:
    explicit CListCtrlEx(QWidget* parent = nullptr);

    CListCtrl& AsListCtrl() { return m_adapter; }
    const CListCtrl& AsListCtrl() const { return m_adapter; }

    // Normal, bold (weight 700) and struck-out fonts derived from `font`; applies `font`.
    void CreateFonts(const QFont& font);
    const QFont& NormalFont() const { return m_fontNormal; }
    const QFont& BoldFont() const { return m_fontBold; }
    const QFont& StrikeOutFont() const { return m_fontStrikeOut; }

    // The row's item value as the signed number it was stored as.
    int GetRowValue(int row) const;
    int GetSelectedRow() const;   // -1 when none
    // Every selected row, top to bottom.
    std::vector<int> GetSelectedRows() const;
    void SelectRow(int row);

    // Shift, Ctrl and Ctrl+A select several rows.
    void SetMultiSelect(bool multi);

    // Sorting by column: a click on a header asks for it (sortRequested); SortRows orders the
    // rows by the keys given with SetSortKey (numbers or texts; a text compares without regard
    // to case and accents), the cell text where none was given. Rows with equal keys keep the
    // order they were added in, so ties stay in date order whichever way the list is sorted.
    void SetSortable(bool sortable);
    void SetSortKey(int row, int column, const QVariant& key);
    void SortRows(int column, bool ascending);

    // The columns the user arranged: their order and the widths the user gave (others keep
    // fitting themselves), as a text for the settings. Applying a text that does not fit the
    // columns changes nothing and returns false.
    QString ColumnStateText() const;
    bool ApplyColumnStateText(const QString& text);
    // Keeps `width` for the column as if the user had dragged its edge there.
    void SetUserColumnWidth(int column, int width);
    int UserColumnWidth(int column) const;   // 0 when the column fits itself
    // Every column back in its first place and fitting itself again.
    void ResetColumns();

    // Width of `column` so that all columns fill the viewport, less `slack` pixels.
    void StretchColumn(int column, int slack = 5);
    // The column stretched whenever the list is resized (-1: none).
    void SetStretchColumn(int column) { m_nStretchColumn = column; }

    // Sizing by content, for lists that ask for it with SetColumnFit (FitColumns, also run on
    // every resize): Content columns are as wide as their header and widest cell, so they are
    // never cut; Shrinkable ones too while there is room, else they share it with the Stretch
    // column, which takes the rest but keeps a readable minimum (the list then scrolls).
    enum class ColumnFit { Fixed, Content, Shrinkable, Stretch };
    void SetColumnFit(int column, ColumnFit fit);
    void FitColumns();
    // Header and widest cell of the column, with a little air.
    int ContentWidth(int column) const;

    bool m_bContextMenu = true;
    int m_nContextMenu = 0;
    bool m_bBoldInsteadOfStrikeOut = false;
    bool m_bSwitchFonts = false;
    bool m_bColorAltRows = false;

    // How a row is drawn: its font, text colour and background (invalid: the list's own).
    QFont RowFont(int row) const;
    QColor RowTextColor(int row) const;
    QColor RowBackground(int row) const;

    static QColor PaidTextColor() { return QColor(128, 128, 128); }
    static QColor AltRowColor() { return QColor(206, 239, 165); }

signals:
    void sortRequested(int column);
    // The user moved or resized a column.
    void columnsArranged();
    void escapePressed();
    void contextMenuWanted(const QPoint& globalPos);
    void deleteKeyPressed();
    void rowDoubleClicked(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void OnSectionResized(int column, int oldWidth, int newWidth);
    // Whether a column's width comes from the user rather than from fitting.
    ColumnFit FitOf(int column) const;
    // The rows holding the column's longest texts (a few of them).
    std::vector<int> LongestTextRows(int column) const;
    // The width the row's cell asks for, icon and margins included.
    int CellWidth(int row, int column) const;

    CQtListCtrl m_adapter;
    std::vector<int> m_userWidths;   // 0: the column fits itself
    bool m_bFitting = false;
    int m_nStretchColumn = -1;
    std::vector<ColumnFit> m_columnFits;
    QFont m_fontNormal;
    QFont m_fontBold;
    QFont m_fontStrikeOut;
};
