#pragma once
// The soft input panel: Qt's virtual keyboard. It is chosen before the QApplication is made,
// when the handheld has no hardware keyboard or the user asked for it in Options ("SoftKeyboard"),
// comes up when an edit box gets the focus, and moves the box's window up when it would cover it.
#include <string>

#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;
class QWindow;

class CSoftKeyboard : public QObject {
    Q_OBJECT
public:
    // The input method module of Qt's virtual keyboard.
    static constexpr const char* kModule = "qtvirtualkeyboard";

    // Whether the text of /proc/bus/input/devices lists a keyboard with letter keys (a power
    // button also reports itself as a keyboard).
    static bool ListsHardwareKeyboard(const std::string& inputDevices);
    static bool HardwareKeyboardPresent();
    // Whether the soft keyboard is to be used: asked for in Options, or no hardware keyboard.
    static bool Wanted(bool askedFor, bool hardwareKeyboard) { return askedFor || !hardwareKeyboard; }
    // Before the QApplication exists: selects the virtual keyboard as the input method when it is
    // wanted and the user chose no other one. True when it was selected.
    static bool SelectInputMethod();
    // Whether the running application has it as its input method.
    static bool InUse();

    // While it lives: the panel comes up for edit boxes and keeps off the focused one.
    CSoftKeyboard();
    ~CSoftKeyboard() override;

    // Moves the focused widget's window up just so far that the keyboard (global coordinates)
    // leaves the widget free; a window moved before goes back once the keyboard is gone.
    void KeepClear(QWidget* focus, const QRect& keyboard);
    // Makes the keyboard's window (`panel`) a transient of the modal dialog open now, if any:
    // otherwise the dialog's modality swallows every tap on the keys.
    static void LetThroughModal(QWindow* panel);

private:
    void OnFocusChanged(QWidget* now);
    void OnKeyboardChanged();
    static QRect KeyboardGeometry();
    // The keyboard's own window, the only top-level window that is not a widget's.
    static QWindow* PanelWindow();

    QPointer<QWidget> m_moved;
    QPoint m_movedFrom;
};
