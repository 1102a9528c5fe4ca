#include "biz/SyncDriverCeRapi.h"

#include <memory>

int CSyncDriverCeRapi::Initialize() { return m_helper.Initialize(); }

int CSyncDriverCeRapi::RegularSync() { return m_helper.PerformRegularSync(); }

int CSyncDriverCeRapi::PerformFullSync(int direction) { return m_helper.PerformFullSync(direction); }

CString CSyncDriverCeRapi::GetLastErrorText() const { return m_helper.GetLastErrorText(); }

SyncDriverFactory CSyncDriverCeRapi::Factory() {
    return [] { return std::make_unique<CSyncDriverCeRapi>(); };
}
