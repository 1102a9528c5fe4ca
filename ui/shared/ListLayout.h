#pragma once
// The entries list's arrangement, kept in the settings under the same names by both programs:
// the column the rows are sorted by and which way, and the columns' order with the widths the
// user gave them. A drag of a column's edge reports every pixel, so the columns are written
// once the header has rested a moment, and again when the view goes.
#include <QObject>
#include <QString>

#include "platform/CString.h"

class CListCtrlEx;
class QTimer;

class CListLayout : public QObject {
    Q_OBJECT
public:
    static constexpr const char16_t* kSortColumnSetting = u"EntriesSortColumn";
    static constexpr const char16_t* kSortAscendingSetting = u"EntriesSortAscending";
    static constexpr const char16_t* kColumnsSetting = u"EntriesColumns";

    // `list` must outlive this object and have its columns before Load.
    CListLayout(const CString& settingsKey, CListCtrlEx& list, QObject* parent = nullptr);

    // Reads the sort and applies the stored columns; a damaged or foreign value is ignored.
    void Load();
    int SortColumn() const { return m_nSortColumn; }
    bool IsSortAscending() const { return m_bSortAscending; }
    // A click on a header: sorts by that column, the other way when it is already the one.
    void SortBy(int column);
    // Writes the columns when they differ from what is stored.
    void SaveColumns();
    // The first order, the widths the columns find for themselves and the date order; the
    // stored values go, so a restart begins the same way.
    void Reset();

private:
    void StoreSort() const;

    CString m_settingsKey;
    CListCtrlEx& m_list;
    QTimer* m_saveTimer;
    QString m_stored;   // the columns text as the settings hold it
    int m_nSortColumn = 0;
    bool m_bSortAscending = true;
};
