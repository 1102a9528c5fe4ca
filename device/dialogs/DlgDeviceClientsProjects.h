#pragma once
// The device's Manage Clients and Projects dialog. Select mode (the project picker) works as on
// the desktop: OK, or a double tap, picks the selected project. Manage mode (Tools menu):
// holding the stylus on an item (or a right click) offers Edit and Delete for its record; a
// double tap edits it; OK just closes.
#include "ui/qt/Dialog.h"

class CProject;
class CTapAndHold;
class CTreeCtrlEx;
class QLabel;
class QLineEdit;
class QMenu;
class QPoint;

class CDlgDeviceClientsProjects : public CDialog {
public:
    explicit CDlgDeviceClientsProjects(QWidget* parent = nullptr);

    bool m_bSelectMode = false;
    // Select mode: tells the tree which project to highlight (its RefID) and receives the ID.
    CProject* m_pProject = nullptr;

    CTreeCtrlEx* Tree() const { return m_tree; }
    QLabel* Hint() const { return m_hint; }
    // Typing part of a client's or project's name (case and accents aside) leaves only the
    // projects that hold it in the tree, the first of them selected, so that OK picks it. Keys
    // typed while the tree has the focus go to the box too.
    QLineEdit* FindBox() const { return m_find; }
    void ShowOnlyHolding(const QString& typed);

    // Rebuilds the tree; the project of `projectRefId` (when not empty) stays selected.
    void FillTree(const CString& projectRefId);
    // Holding the stylus at a point of the tree's viewport.
    void OnHoldAt(const QPoint& viewportPos);
    // The Edit / Delete menu for the selected item, at a global position.
    void ShowItemMenu(const QPoint& globalPos);
    // Edit and Delete on the selected item; true when a record changed (the tree is refilled).
    bool EditSelected();
    bool DeleteSelected();
    void OnDoubleTap();

    void OnOK() override;

protected:
    void CreateControls() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool OnInitDialog() override;

private:
    CTreeCtrlEx* m_tree = nullptr;
    CTapAndHold* m_tapAndHold = nullptr;
    QLabel* m_hint = nullptr;
    QLineEdit* m_find = nullptr;
};
