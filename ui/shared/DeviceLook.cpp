#include "ui/shared/DeviceLook.h"

#include <QAbstractButton>
#include <QLabel>

namespace {

QWidget* Named(QWidget& root, const char* name) { return root.findChild<QWidget*>(QString::fromLatin1(name)); }

void ExpectWidget(QWidget& root, const char* name, QStringList& missing) {
    if (name != nullptr && Named(root, name) == nullptr)
        missing << QString::fromLatin1(name);
}

}   // namespace

QWidget* CaptionTarget(QWidget& root, const char* widget) {
    QWidget* control = Named(root, widget);
    if (control == nullptr)
        return nullptr;
    // A "..." button is the buddy of the caption beside it, so the label comes first.
    for (QLabel* label : root.findChildren<QLabel*>()) {
        if (label->buddy() == control)
            return label;
    }
    if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QLabel*>(control))
        return control;
    return nullptr;
}

QStringList MissingDeviceLookWidgets(QWidget& root, const DeviceLook& look) {
    QStringList missing;
    for (const DeviceLook::Caption& caption : look.captions) {
        if (CaptionTarget(root, caption.widget) == nullptr)
            missing << QString::fromLatin1(caption.widget);
    }
    for (const char* name : look.hidden)
        ExpectWidget(root, name, missing);
    ExpectWidget(root, look.widened, missing);
    ExpectWidget(root, look.defaultButton, missing);
    return missing;
}
