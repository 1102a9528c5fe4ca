#pragma once
// The synchronisation driver over the real device connection: CSyncHelper's desktop half
// (desktop build only). The regular synchronisation is the library's one sequence
// (CSyncHelper::PerformRegularSync).
#include "biz/BizExport.h"
#include "biz/SyncDriver.h"
#include "biz/SyncHelper.h"

class QUILLMAR_BIZ_EXPORT CSyncDriverCeRapi : public CSyncDriver {
public:
    bool IsPaired() const override;
    int Initialize() override;
    int RegularSync(const StepCallback& beforeStep) override;
    CSyncSummary GetSummary() const override;
    std::optional<CDataFileSummary> DeviceDataSummary() override;
    int PerformFullSync(int direction) override;
    CString GetLastErrorText() const override;

    // The factory the main frame is given in the program.
    static SyncDriverFactory Factory();

private:
    CSyncHelper m_helper;
};
