#pragma once
// Details page of a time entry: date, duration (changed through Edit Duration, straight into
// the entry), project, description and billing category.
#include "ui/shared/HasDeviceLook.h"
#include "ui/shared/dialogs/DlgEntryDetailsBase.h"

class CProjectItem;
class QComboBox;

class CDlgTimeDetails : public CDlgEntryDetailsBase, public CHasDeviceLook {
public:
    explicit CDlgTimeDetails(QWidget* parent = nullptr);

    CString m_strCategoryRef;
    // The entry being edited; the Duration button and the Billing page's Calc. use it.
    CProjectItem* m_pProjectItem = nullptr;

    // Item data (category ID) of the selected list entry; CB_ERR when none is selected. Before
    // the page was opened, the ID of the category copied in (0 when it has none).
    int GetSelectedCategoryID() const;

    // The "..." buttons.
    void EditDuration();
    void ChooseCategory();

    QComboBox* CategoryCombo() const { return m_category; }
    QLineEdit* DurationText() const { return m_duration; }
    QPushButton* DurationButton() const { return m_durationButton; }
    QPushButton* CategoryButton() const { return m_categoryButton; }

    bool OnKillActive() override;
    void OnOK() override;

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    bool OnInitDialog() override;

private:
    // The categories, selecting `selectId`; with no category to select while the entry refers
    // to a deleted one, "(deleted category)" leads the list and is selected.
    void FillCategories(int selectId);
    // The ID of the category the entry refers to; 0 when there is none or it was deleted.
    int StoredCategoryId() const;
    // The entry's category reference names no stored category.
    bool RefersToDeletedCategory() const;
    void ShowDuration();

    QLineEdit* m_duration = nullptr;
    QPushButton* m_durationButton = nullptr;
    QComboBox* m_category = nullptr;
    QPushButton* m_categoryButton = nullptr;
};
