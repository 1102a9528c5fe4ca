#pragma once
// The Remote API of the desktop-device connection, desktop side, with Windows-style results.
// One connection per process, to the device named by the stored pairing (Pairing.h). Calls fail
// with ERROR_NOT_CONNECTED / HRESULT_FROM_WIN32(ERROR_NOT_CONNECTED) when there is none or it
// was lost; CeGetLastError then tells the reason of a FALSE / INVALID_* result.
#include <string>

#include "connection/ConnectionExport.h"
#include "connection/RapiTypes.h"
#include "platform/LocalAlloc.h"   // LocalFree releases CeRapiInvoke's answer buffers

struct RAPIINIT {
    DWORD cbSize = 0;              // kRapiInitSize (12) or sizeof(RAPIINIT)
    HANDLE heRapiInit = nullptr;   // set by CeRapiInitEx: an event signalled when the connection is ready
    HRESULT hrRapiInit = 0;        // the connection's outcome, valid once the event is signalled
};
inline constexpr DWORD kRapiInitSize = 12;

// Starts the connection. A non-negative result means it was started; the event in the record is
// then signalled with the outcome in hrRapiInit. The event stays valid until CeRapiUninit.
// An earlier connection of this process is ended first.
QUILLMAR_CONNECTION_EXPORT HRESULT CeRapiInitEx(RAPIINIT* init);
// Connects and answers the outcome directly.
QUILLMAR_CONNECTION_EXPORT HRESULT CeRapiInit();
// Ends the connection and releases every handle it gave; S_OK also when there was none.
QUILLMAR_CONNECTION_EXPORT HRESULT CeRapiUninit();

// Waits for an event handed out by CeRapiInitEx: WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED
// (not such an event).
QUILLMAR_CONNECTION_EXPORT DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// The device's registry, HKEY_CURRENT_USER and keys opened below it. Results are Win32 codes.
QUILLMAR_CONNECTION_EXPORT LONG CeRegOpenKeyEx(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
// Strings come back as UTF-16 with their terminating zero. `data` null asks for the size only;
// a buffer too small gives ERROR_MORE_DATA with the size needed in *dataSize.
QUILLMAR_CONNECTION_EXPORT LONG CeRegQueryValueEx(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type,
                                                  LPBYTE data, LPDWORD dataSize);
QUILLMAR_CONNECTION_EXPORT LONG CeRegCloseKey(HKEY key);

// Files inside the device's program folder (AppPath): names may be given relative to it or
// with AppPath in front; they match without regard to case. INVALID_HANDLE_VALUE on failure.
// A file created for writing replaces the old one only when it is closed with CeCloseHandle,
// so a connection lost half-way leaves the device's file as it was.
QUILLMAR_CONNECTION_EXPORT HANDLE CeCreateFile(LPCWSTR fileName, DWORD access, DWORD shareMode, void* security,
                                               DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile);
QUILLMAR_CONNECTION_EXPORT DWORD CeGetFileSize(HANDLE file, LPDWORD sizeHigh);   // INVALID_FILE_SIZE on failure
QUILLMAR_CONNECTION_EXPORT BOOL CeReadFile(HANDLE file, void* buffer, DWORD toRead, LPDWORD read, void* overlapped);
QUILLMAR_CONNECTION_EXPORT BOOL CeWriteFile(HANDLE file, const void* buffer, DWORD toWrite, LPDWORD written,
                                            void* overlapped);
QUILLMAR_CONNECTION_EXPORT BOOL CeCloseHandle(HANDLE file);

// Block mode only: runs `functionName` of the device library `dllPath` (inside AppPath) with the
// input bytes (the caller keeps ownership of pInput) and answers the export's own result. The
// answer comes back in *ppOutput, allocated with LocalAlloc for the caller to LocalFree (null
// when empty or when ppOutput is null). A non-null ppIRAPIStream (stream mode) is refused with
// E_INVALIDARG. A lost connection or an export that cannot be run gives a failure result.
QUILLMAR_CONNECTION_EXPORT HRESULT CeRapiInvoke(LPCWSTR dllPath, LPCWSTR functionName, DWORD cbInput, BYTE* pInput,
                                                DWORD* pcbOutput, BYTE** ppOutput, IRAPIStream** ppIRAPIStream,
                                                DWORD reserved);

// The Win32 error code of the last failed call.
QUILLMAR_CONNECTION_EXPORT DWORD CeGetLastError();
// S_OK, or the failure of the connection itself.
QUILLMAR_CONNECTION_EXPORT HRESULT CeRapiGetError();
// A readable reason of the last connection failure, for the user or the log.
QUILLMAR_CONNECTION_EXPORT std::string CeRapiGetErrorMessage();
