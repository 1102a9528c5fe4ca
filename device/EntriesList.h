#pragma once
// The device's entries list: the shared report list whose rows have a second line, across the
// whole width below the columns, with the entry's description, so that entries of one day and
// project can be told apart on a narrow screen.
#include "ui/shared/ListCtrlEx.h"

class CEntriesList : public CListCtrlEx {
    Q_OBJECT
public:
    explicit CEntriesList(QWidget* parent = nullptr);

    // Gives the row its second line (an empty text leaves it empty); keeps the cells on the first.
    void SetRowDescription(int row, const QString& description);
    QString RowDescription(int row) const;

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int RowHeight() const;
};
