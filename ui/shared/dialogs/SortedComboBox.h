#pragma once
// A drop-down list adapter that keeps its items in alphabetical order, as a sorted list
// does: AddString inserts at the item's place (case-insensitive) and returns that index.
// With `firstStaysOnTop` the first item added (a leading "no selection" entry) is kept at
// the top and the others are sorted below it.
#include "ui/qt/QtComboBox.h"

class CSortedComboBox : public CQtComboBox {
public:
    CSortedComboBox(QComboBox* combo, bool firstStaysOnTop) : CQtComboBox(combo), m_firstStaysOnTop(firstStaysOnTop) {}

    int AddString(const CString& text) override;

private:
    bool m_firstStaysOnTop;
};
