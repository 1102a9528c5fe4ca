#pragma once
// Categories: the billing categories by name with New, Edit and Delete. In select mode OK
// hands the selected category's ID to the caller's CCategory.
#include "ui/qt/Dialog.h"
#include "ui/shared/HasDeviceLook.h"

class CCategory;
class QListWidget;
class QPushButton;

class CDlgCategories : public CDialog, public CHasDeviceLook {
public:
    explicit CDlgCategories(QWidget* parent = nullptr);

    bool m_bSelectMode = false;
    // Gives the category to select at start and receives the chosen ID.
    CCategory* m_pCategory = nullptr;

    // Rebuilds the list from the data store. ID 0 selects the top entry; another ID the entry
    // carrying it, or nothing when none does.
    void FillList(int selectId);
    // ID of the selected entry; 0 when none is selected.
    int SelectedID() const;

    void OnNew();
    void OnEdit();
    void OnDelete();
    void OnOK() override;

    QListWidget* List() const { return m_list; }
    QPushButton* NewButton() const { return m_new; }
    QPushButton* EditButton() const { return m_edit; }
    QPushButton* DeleteButton() const { return m_delete; }

    // How the device shows it: its captions, title and the pieces it leaves out.
    const DeviceLook& GetDeviceLook() const override;

protected:
    void CreateControls() override;
    bool OnInitDialog() override;

private:
    QListWidget* m_list = nullptr;
    QPushButton* m_new = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
};
