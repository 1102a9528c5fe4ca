#pragma once
// What the three Details pages of the entry editor share: the date, the project chosen with
// the "..." button or by typing part of its client's or its own name (required: the page cannot
// be left without one) and the description.
#include <vector>

#include <QString>

#include "platform/OleDateTime.h"
#include "ui/qt/PropertyPage.h"
#include "ui/shared/DeviceLook.h"
#include "ui/shared/ProjectNames.h"

class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QGridLayout;

class CDlgEntryDetailsBase : public CPropertyPage {
public:
    static constexpr int kDescriptionLimit = 255;

    explicit CDlgEntryDetailsBase(QWidget* parent = nullptr);

    COleDateTime m_ItemDate;
    CString m_strProjectRef;
    CString m_strDescription;

    // The project "..." button: picks a project and shows it; false when nothing changed.
    bool ChooseProject();
    // Message 27 when no project is chosen; true when one is.
    bool CheckProjectChosen() const;
    // What typing into the project box settles on: the project whose "Client: Project" name is
    // the text (case aside), else the one project whose name holds it; otherwise the box shows
    // the chosen project again. True when the text named a project.
    bool TakeTypedProject();

    QDateTimeEdit* DatePicker() const { return m_date; }
    QLineEdit* ProjectText() const { return m_project; }
    QPushButton* ProjectButton() const { return m_projectButton; }
    QPlainTextEdit* DescriptionEdit() const { return m_description; }

protected:
    // The device captions of the date and project rows, then `more` (the page's own).
    static std::vector<DeviceLook::Caption> EntryDeviceCaptions(std::vector<DeviceLook::Caption> more);
    // Builds the date row (row 0) and the project row (row `projectRow`) into `grid`, and the
    // description box, which the caller places.
    void CreateCommonControls(QGridLayout* grid, int projectRow);
    void ShowProjectName();
    bool OnInitDialog() override;
    // Date and description; derived pages add theirs after calling this.
    void DoDataExchange(CDataExchange* pDX) override;

    QPlainTextEdit* m_description = nullptr;

private:
    QDateTimeEdit* m_date = nullptr;
    QLineEdit* m_project = nullptr;
    QPushButton* m_projectButton = nullptr;
    CProjectNames m_projectNames;
};
