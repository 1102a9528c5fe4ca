#include "ui/shared/ListLayout.h"

#include <cstdint>

#include <QTimer>

#include "platform/Registry.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/ListCtrlEx.h"

CListLayout::CListLayout(const CString& settingsKey, CListCtrlEx& list, QObject* parent)
    : QObject(parent), m_settingsKey(settingsKey), m_list(list), m_saveTimer(new QTimer(this)) {
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(400);
    connect(m_saveTimer, &QTimer::timeout, this, &CListLayout::SaveColumns);
    connect(&m_list, &CListCtrlEx::columnsArranged, m_saveTimer, qOverload<>(&QTimer::start));
}

void CListLayout::Load() {
    const int column = static_cast<int>(Registry::GetDword(m_settingsKey, kSortColumnSetting, 0));
    m_nSortColumn = column >= 0 && column < m_list.columnCount() ? column : 0;
    m_bSortAscending = Registry::GetDword(m_settingsKey, kSortAscendingSetting, 1) != 0;
    const QString stored = qtconv::ToQString(Registry::GetString(m_settingsKey, kColumnsSetting, CString()));
    m_list.ApplyColumnStateText(stored);
    // What applying left is what counts as stored: a damaged value is not written back unasked.
    m_stored = m_list.ColumnStateText();
    m_saveTimer->stop();
}

void CListLayout::SortBy(int column) {
    if (column < 0 || column >= m_list.columnCount())
        return;
    m_bSortAscending = column == m_nSortColumn ? !m_bSortAscending : true;
    m_nSortColumn = column;
    StoreSort();
    m_list.SortRows(m_nSortColumn, m_bSortAscending);
}

void CListLayout::StoreSort() const {
    Registry::SetDword(m_settingsKey, kSortColumnSetting, static_cast<uint32_t>(m_nSortColumn));
    Registry::SetDword(m_settingsKey, kSortAscendingSetting, m_bSortAscending ? 1 : 0);
}

void CListLayout::SaveColumns() {
    m_saveTimer->stop();
    const QString state = m_list.ColumnStateText();
    if (m_list.columnCount() == 0 || state == m_stored)
        return;
    // The layout is a convenience: a registry that cannot be written loses only the arrangement.
    if (Registry::SetString(m_settingsKey, kColumnsSetting, qtconv::FromQString(state)))
        m_stored = state;
}

void CListLayout::Reset() {
    m_list.ResetColumns();
    m_nSortColumn = 0;
    m_bSortAscending = true;
    m_list.SortRows(m_nSortColumn, m_bSortAscending);
    for (const char16_t* name : {kSortColumnSetting, kSortAscendingSetting, kColumnsSetting})
        Registry::DeleteValue(m_settingsKey, name);
    m_stored = m_list.ColumnStateText();
    m_saveTimer->stop();
}
