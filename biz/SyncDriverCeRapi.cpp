#include "biz/SyncDriverCeRapi.h"

#include <memory>

#include "connection/Pairing.h"

bool CSyncDriverCeRapi::IsPaired() const { return Pairing::Load().has_value(); }

int CSyncDriverCeRapi::Initialize() { return m_helper.Initialize(); }

int CSyncDriverCeRapi::RegularSync(const StepCallback& beforeStep) {
    if (!beforeStep)
        return m_helper.PerformRegularSync();
    return m_helper.PerformRegularSync([&](CSyncHelper::SyncStep step) { beforeStep(static_cast<int>(step)); });
}

CSyncSummary CSyncDriverCeRapi::GetSummary() const { return m_helper.GetSummary(); }

std::optional<CDataFileSummary> CSyncDriverCeRapi::DeviceDataSummary() { return m_helper.ReadDeviceDataSummary(); }

int CSyncDriverCeRapi::PerformFullSync(int direction) { return m_helper.PerformFullSync(direction); }

CString CSyncDriverCeRapi::GetLastErrorText() const { return m_helper.GetLastErrorText(); }

SyncDriverFactory CSyncDriverCeRapi::Factory() {
    return [] { return std::make_unique<CSyncDriverCeRapi>(); };
}

static_assert(CSyncDriver::kLastStep == CSyncHelper::SyncStep_DesktopComplete);
