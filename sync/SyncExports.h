#pragma once
// The device library's four entry points, called by the connection service on the desktop's
// behalf (each call in a fresh process, so the data store holds the device data file as
// stored when the call began). All have the remote-invocation signature: input and stream
// are ignored; only GetDeviceSideSyncID answers, in a buffer from LocalAlloc that the caller
// releases with LocalFree. Result 0 (S_OK) on success; a failure status (E_FAIL when the data
// store is not usable or its operation failed) otherwise, which the desktop relies on.
#include "connection/RapiTypes.h"
#include "sync/SyncExport.h"

// The message the device program's main window ("Quillmar") gets after a commit: the first
// user message number plus 100.
inline constexpr DWORD WM_QUILLMAR_RELOAD_DATA = 0x0400 + 100;

extern "C" {
// Answers the device data file's "syncID" as UTF-8 text with its terminating zero byte; the
// answer size counts that byte. E_INVALIDARG without answer pointers, E_OUTOFMEMORY when the
// buffer cannot be had (no buffer and size 0 then).
QUILLMAR_SYNC_EXPORT HRESULT GetDeviceSideSyncID(DWORD cbInput, BYTE* pInput, DWORD* pcbOutput, BYTE** ppOutput,
                                                 IRAPIStream* pStream);
// Writes the device's change file "device.xml" (CSyncHelper::SerializeLocalChanges).
QUILLMAR_SYNC_EXPORT HRESULT TriggerDeviceSide_SerializeLocalChanges(DWORD cbInput, BYTE* pInput, DWORD* pcbOutput,
                                                                     BYTE** ppOutput, IRAPIStream* pStream);
// Commits "desktop.xml" (CSyncHelper::CommitRemoteChanges), then posts WM_QUILLMAR_RELOAD_DATA
// to the window titled "Quillmar" when one is open.
QUILLMAR_SYNC_EXPORT HRESULT TriggerDeviceSide_CommitRemoteChanges(DWORD cbInput, BYTE* pInput, DWORD* pcbOutput,
                                                                   BYTE** ppOutput, IRAPIStream* pStream);
// Moves the device's "lastSync" to now (CSyncHelper::UpdateLastSyncDateTime).
QUILLMAR_SYNC_EXPORT HRESULT TriggerDeviceSide_UpdateLastSyncDateTime(DWORD cbInput, BYTE* pInput, DWORD* pcbOutput,
                                                                      BYTE** ppOutput, IRAPIStream* pStream);
}
