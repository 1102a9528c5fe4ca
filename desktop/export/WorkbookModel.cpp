#include "desktop/export/WorkbookModel.h"

const CCell* CWorkbookModel::Find(int row, int column) const {
    auto found = m_cells.find({row, column});
    return found == m_cells.end() ? nullptr : &found->second;
}

const CString* CWorkbookModel::ColumnFormat(int column) const {
    auto found = m_columnFormats.find(column);
    return found == m_columnFormats.end() ? nullptr : &found->second;
}

int CWorkbookModel::LastColumn() const {
    int last = -1;
    for (const auto& [position, cell] : m_cells)
        last = std::max(last, position.second);
    for (const auto& [column, format] : m_columnFormats)
        last = std::max(last, column);
    return last;
}
