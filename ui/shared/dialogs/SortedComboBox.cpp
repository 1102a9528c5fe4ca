#include "ui/shared/dialogs/SortedComboBox.h"

int CSortedComboBox::AddString(const CString& text) {
    const int count = GetCount();
    int index = (m_firstStaysOnTop && count > 0) ? 1 : 0;
    while (index < count && GetLBText(index).CompareNoCase(text) <= 0)
        ++index;
    return InsertString(index, text);
}
