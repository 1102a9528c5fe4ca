#pragma once
// Implemented by every shared page and dialog: its device look, declared with its controls.
#include "ui/shared/DeviceLook.h"

class CHasDeviceLook {
public:
    virtual ~CHasDeviceLook() = default;
    virtual const DeviceLook& GetDeviceLook() const = 0;
};
