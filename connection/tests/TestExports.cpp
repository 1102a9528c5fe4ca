// A small device library for the connection tests: exports with the remote-invocation
// signature that answer, fail, hang, crash and keep state, so the service's handling of each
// can be seen from the desktop side.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "platform/LocalAlloc.h"
#include "platform/Paths.h"
#include "connection/RapiTypes.h"

namespace {

int g_calls = 0;

HRESULT AnswerText(const std::string& text, DWORD* pcbOutput, BYTE** ppOutput) {
    auto* block = static_cast<BYTE*>(LocalAlloc(LPTR, text.size() + 1));
    if (!block)
        return E_OUTOFMEMORY;
    std::memcpy(block, text.c_str(), text.size() + 1);
    *ppOutput = block;
    *pcbOutput = static_cast<DWORD>(text.size() + 1);
    return S_OK;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) HRESULT Greeting(DWORD, BYTE*, DWORD* pcbOutput, BYTE** ppOutput,
                                                        IRAPIStream*) {
    return AnswerText("hello from the device", pcbOutput, ppOutput);
}

// Answers the input reversed.
__attribute__((visibility("default"))) HRESULT Reverse(DWORD cbInput, BYTE* pInput, DWORD* pcbOutput,
                                                       BYTE** ppOutput, IRAPIStream*) {
    auto* block = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, cbInput));
    if (!block && cbInput > 0)
        return E_OUTOFMEMORY;
    for (DWORD i = 0; i < cbInput; ++i)
        block[i] = pInput[cbInput - 1 - i];
    *ppOutput = block;
    *pcbOutput = cbInput;
    return S_OK;
}

// Answers how often it was called in this process: always 1 when each call gets a fresh one.
__attribute__((visibility("default"))) HRESULT CallCount(DWORD, BYTE*, DWORD* pcbOutput, BYTE** ppOutput,
                                                         IRAPIStream*) {
    return AnswerText(std::to_string(++g_calls), pcbOutput, ppOutput);
}

// Answers where the platform code it runs with came from.
__attribute__((visibility("default"))) HRESULT ProgramFolder(DWORD, BYTE*, DWORD* pcbOutput, BYTE** ppOutput,
                                                             IRAPIStream*) {
    return AnswerText(GetProgramFolder(), pcbOutput, ppOutput);
}

__attribute__((visibility("default"))) HRESULT Refuse(DWORD, BYTE*, DWORD*, BYTE**, IRAPIStream*) {
    return static_cast<HRESULT>(0x80070020u);
}

__attribute__((visibility("default"))) HRESULT Hang(DWORD, BYTE*, DWORD*, BYTE**, IRAPIStream*) {
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

__attribute__((visibility("default"))) HRESULT Crash(DWORD, BYTE*, DWORD*, BYTE**, IRAPIStream*) {
    std::abort();
}

// Writes a marker file named by the input, so a test can see whether the library ever ran.
__attribute__((visibility("default"))) HRESULT Touch(DWORD cbInput, BYTE* pInput, DWORD*, BYTE**, IRAPIStream*) {
    std::ofstream(std::string(reinterpret_cast<const char*>(pInput), cbInput)) << "ran";
    return S_OK;
}

}
