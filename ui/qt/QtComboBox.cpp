#include "ui/qt/QtComboBox.h"

#include <QComboBox>

#include "ui/qt/QtConvert.h"

bool CQtComboBox::IsValidIndex(int index) const { return index >= 0 && index < m_combo->count(); }

int CQtComboBox::GetCount() const { return m_combo->count(); }

int CQtComboBox::AddString(const CString& text) {
    m_combo->addItem(qtconv::ToQString(text));
    return m_combo->count() - 1;
}

int CQtComboBox::InsertString(int index, const CString& text) {
    if (index < 0 || index > m_combo->count())
        index = m_combo->count();
    m_combo->insertItem(index, qtconv::ToQString(text));
    return index;
}

int CQtComboBox::DeleteString(int index) {
    if (!IsValidIndex(index))
        return CB_ERR;
    m_combo->removeItem(index);
    return m_combo->count();
}

void CQtComboBox::ResetContent() { m_combo->clear(); }

CString CQtComboBox::GetLBText(int index) const {
    if (!IsValidIndex(index))
        return CString();
    return qtconv::FromQString(m_combo->itemText(index));
}

int CQtComboBox::SetItemData(int index, uintptr_t value) {
    if (!IsValidIndex(index))
        return CB_ERR;
    m_combo->setItemData(index, QVariant::fromValue<qulonglong>(value), Qt::UserRole);
    return 0;
}

uintptr_t CQtComboBox::GetItemData(int index) const {
    if (!IsValidIndex(index))
        return static_cast<uintptr_t>(CB_ERR);
    return static_cast<uintptr_t>(m_combo->itemData(index, Qt::UserRole).toULongLong());
}

int CQtComboBox::GetCurSel() const {
    const int index = m_combo->currentIndex();
    return index < 0 ? CB_ERR : index;
}

int CQtComboBox::SetCurSel(int index) {
    if (index == -1) {
        m_combo->setCurrentIndex(-1);
        return CB_ERR;
    }
    if (!IsValidIndex(index))
        return CB_ERR;
    m_combo->setCurrentIndex(index);
    return index;
}

int CQtComboBox::FindStringExact(int startAfter, const CString& text) const {
    const QString wanted = qtconv::ToQString(text);
    const int count = m_combo->count();
    const int first = (startAfter < 0 || startAfter >= count) ? 0 : startAfter + 1;
    // Searches wrap round to the top, ignoring case, as the list box search does.
    for (int step = 0; step < count; ++step) {
        const int index = (first + step) % count;
        if (m_combo->itemText(index).compare(wanted, Qt::CaseInsensitive) == 0)
            return index;
    }
    return CB_ERR;
}
