#pragma once
// The device program's look of the dialogs it shares with the desktop: the same controls and
// behaviour, with what each dialog declares for the device (ui/shared/DeviceLook.h: captions
// of this program's string table, a drawn title, the pieces the device leaves out) and what
// every one gets here: bold field labels, no group frames, the decimal up-downs always using
// ".", narrow margins and controls, the tabs of a sheet at the bottom and every sheet or
// dialog filling the device's screen. A declaration naming a widget the dialog lacks is reported.
//
// Installed on the QApplication, it applies itself to each page or dialog once, when the
// widget is polished (just before it is first shown). ApplyDeviceLook does the same at once,
// for code that needs the device look before showing anything (screenshots, tests).
#include <QObject>

class QMessageBox;
class QRect;
class QSize;
class QWidget;

class CDeviceDialogLook : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Applies the device look to a shared page, dialog or sheet (and to the pages of a sheet that
// were already made); does nothing to widgets without a declared look, or a second time.
void ApplyDeviceLook(QWidget* widget);

// The device's screen: the main window's area (global coordinates) when it is shown, else
// 240 x 320 at the origin.
QRect DeviceScreenRect();
QSize DeviceScreenSize();
// The shown main window, or nullptr.
QWidget* DeviceMainWindow();
// Moves a popup or window so that it lies inside the device's screen (as far as it fits).
void KeepInsideDeviceScreen(QWidget* window);
// The least size of anything tapped: 7 mm at the screen's density, in pixels. The application
// object sets it from the screen.
void SetDeviceTapTarget(int pixels);
int DeviceTapTarget();
// Buttons, check boxes, boxes, up-down arrows, tree arrows and rows of lists of the widget at
// least that big.
void GrowTapTargets(QWidget* root);
// Wraps a message box's text to the device's screen and centres it there.
void FitMessageBoxToDeviceScreen(QMessageBox* box);
// Resizes a top-level sheet or dialog to the device's screen, over the main window.
void FitToDeviceScreen(QWidget* dialog);
// Adds the drawn title (a resource library string) to a page or dialog and leaves its band free.
void AddPageTitle(QWidget* page, unsigned titleStringId);
// Field captions (labels ending with ":") in the bold title font.
void MakeFieldLabelsBold(QWidget* page);
