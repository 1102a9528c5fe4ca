#pragma once
// How a shared page or dialog looks on the device, declared by the dialog beside the controls
// it makes. The device program applies it when the dialog is first shown; the desktop shows the
// controls as they are made. Widgets are named by object name, so a declaration that names a
// widget the dialog does not make is found by MissingDeviceLookWidgets rather than ignored.
#include <QStringList>

#include <vector>

class QWidget;

struct DeviceLook {
    struct Caption {
        const char* widget;   // the control whose buddy label shows the text, or a button or label
        unsigned textId;      // string of the device program's table (ui/shared/DeviceStrings.h)
    };

    unsigned titleId = 0;         // resource library string drawn as the page's title; 0: none
    unsigned windowTitleId = 0;   // device program string for the window's caption; 0: unchanged
    std::vector<Caption> captions{};
    std::vector<const char*> hidden{};     // not shown on the device, nor their buddy labels
    const char* widened = nullptr;         // takes one more grid column (one a hidden widget left)
    const char* defaultButton = nullptr;   // the button Enter presses on the device
    bool keepGroups = false;               // group frames keep their titles (else they go)
    bool captionsAbove = false;            // every field caption on a line of its own, above it
};

// The widget that shows a caption: the buddy label of the named control, else the control
// itself when it is a button or a label; nullptr when there is none.
QWidget* CaptionTarget(QWidget& root, const char* widget);
// The declared widgets `root` (a page or dialog whose controls exist) does not have, and the
// captions nothing can show; empty when the declaration matches the dialog.
QStringList MissingDeviceLookWidgets(QWidget& root, const DeviceLook& look);
