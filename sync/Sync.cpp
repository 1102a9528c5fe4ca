#include "sync/SyncExports.h"

#include <cstring>
#include <string>

#include "biz/BizApp.h"
#include "biz/DataHelper.h"
#include "biz/SyncHelper.h"
#include "platform/LocalAlloc.h"
#include "platform/WindowMessages.h"

namespace {

constexpr const char16_t* kDeviceWindowTitle = u"Quillmar";

// Each entry point starts the device's data store from the files as stored; a store that does
// not start means none of its data may be answered or changed.
CDataHelper* LoadedDataStore() { return QuillmarBizDeviceStart() ? GetCurrDataHelper() : nullptr; }

// Only GetDeviceSideSyncID answers; the others leave the caller nothing to release.
void AnswerNothing(DWORD* pcbOutput, BYTE** ppOutput) {
    if (pcbOutput)
        *pcbOutput = 0;
    if (ppOutput)
        *ppOutput = nullptr;
}

HRESULT AnswerText(const std::string& text, DWORD* pcbOutput, BYTE** ppOutput) {
    auto* block = static_cast<BYTE*>(LocalAlloc(LPTR, text.size() + 1));
    if (!block)
        return E_OUTOFMEMORY;
    std::memcpy(block, text.c_str(), text.size() + 1);
    *ppOutput = block;
    *pcbOutput = static_cast<DWORD>(text.size() + 1);
    return S_OK;
}

void NotifyDeviceProgram() {
    // The device program may not be running; then nobody needs to reload.
    if (const HWND window = FindWindow(kDeviceWindowTitle))
        PostMessage(window, WM_QUILLMAR_RELOAD_DATA, 0, 0);
}

}   // namespace

extern "C" {

HRESULT GetDeviceSideSyncID(DWORD, BYTE*, DWORD* pcbOutput, BYTE** ppOutput, IRAPIStream*) {
    if (!pcbOutput || !ppOutput)
        return E_INVALIDARG;
    AnswerNothing(pcbOutput, ppOutput);
    CDataHelper* store = LoadedDataStore();
    if (!store)
        return E_FAIL;
    return AnswerText(store->GetMetaDataValue(u"syncID").ToUtf8(), pcbOutput, ppOutput);
}

HRESULT TriggerDeviceSide_SerializeLocalChanges(DWORD, BYTE*, DWORD* pcbOutput, BYTE** ppOutput, IRAPIStream*) {
    AnswerNothing(pcbOutput, ppOutput);
    if (!LoadedDataStore())
        return E_FAIL;
    CSyncHelper syncHelper;
    return syncHelper.SerializeLocalChanges() >= 0 ? S_OK : E_FAIL;
}

HRESULT TriggerDeviceSide_CommitRemoteChanges(DWORD, BYTE*, DWORD* pcbOutput, BYTE** ppOutput, IRAPIStream*) {
    AnswerNothing(pcbOutput, ppOutput);
    if (!LoadedDataStore())
        return E_FAIL;
    CSyncHelper syncHelper;
    const bool committed = syncHelper.CommitRemoteChanges() != 0;
    // A commit that failed late (a change file stayed) has still written the data file.
    NotifyDeviceProgram();
    return committed ? S_OK : E_FAIL;
}

HRESULT TriggerDeviceSide_UpdateLastSyncDateTime(DWORD, BYTE*, DWORD* pcbOutput, BYTE** ppOutput, IRAPIStream*) {
    AnswerNothing(pcbOutput, ppOutput);
    if (!LoadedDataStore())
        return E_FAIL;
    CSyncHelper syncHelper;
    return syncHelper.UpdateLastSyncDateTime() ? S_OK : E_FAIL;
}

}   // extern "C"
