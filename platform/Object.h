#pragma once
// Root of the record classes: records are held and released through this base.
#include "platform/PlatformExport.h"

class QUILLMAR_PLATFORM_EXPORT CObject {
public:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
    virtual ~CObject() = default;
};
