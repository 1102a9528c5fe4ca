#pragma once
// The "Timer" toolbar: the project picker (recent projects first, type to search), an optional
// category and description, Start, Pause/Resume and Stop, and the running time. While a timer
// is on, the pickers show what it times; choosing another project and Start asks to stop it.
#include <QToolBar>

#include "platform/CString.h"

class CTimerControl;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;

class CTimerToolBar : public QToolBar {
    Q_OBJECT
public:
    CTimerToolBar(CTimerControl& control, QWidget* parent);

    // Refills the pickers from the data store, keeping what was chosen where it still exists.
    void FillChoices();
    // Enabling, the Pause/Resume text, the pickers and the running time, after a change.
    void UpdateState();
    void UpdateTime();

    QAction* StartAction() const { return m_start; }
    QAction* PauseAction() const { return m_pause; }
    QAction* StopAction() const { return m_stop; }
    QComboBox* ProjectBox() const { return m_project; }
    QComboBox* CategoryBox() const { return m_category; }
    QLineEdit* DescriptionEdit() const { return m_description; }
    QLabel* TimeLabel() const { return m_time; }

    // The project chosen or typed: a name of the list, or part of exactly one; "" otherwise.
    CString ChosenProjectRef() const;
    // Starts for the chosen project, or says that one must be chosen.
    void OnStart();

private:
    void ShowTimerDetails();

    CTimerControl& m_control;
    QComboBox* m_project;
    QComboBox* m_category;
    QLineEdit* m_description;
    QLabel* m_time;
    QAction* m_start;
    QAction* m_pause;
    QAction* m_stop;
};
