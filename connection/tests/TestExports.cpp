// A small device library for the connection tests: exports with the remote-invocation
// signature that answer, fail, hang, crash and keep state, so the service's handling of each
// can be seen from the desktop side.
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "connection/RapiTypes.h"
#include "platform/LocalAlloc.h"
#include "platform/Paths.h"

namespace {

int g_calls = 0;

std::string Input(DWORD cbInput, const BYTE* pInput) {
    return std::string(reinterpret_cast<const char*>(pInput), cbInput);
}

// Written whole or not at all, so a test never reads half a number.
void WritePid(const std::string& path) {
    std::ofstream(path + ".part") << ::getpid();
    std::rename((path + ".part").c_str(), path.c_str());
}

[[noreturn]] void SleepForever() {
    for (;;)
        ::pause();
}

// A child that stays in the call's process group, and a daemon that leaves it for a session of
// its own, its parent gone; each writes its process id into `folder`. Returns once both did.
void SpawnStragglers(const std::string& folder) {
    if (::fork() == 0) {
        WritePid(folder + "/group");
        SleepForever();
    }
    if (::fork() == 0) {
        if (::fork() != 0)
            ::_exit(0);
        ::setsid();
        ::close_range(3, ~0u, 0);
        WritePid(folder + "/daemon");
        SleepForever();
    }
    for (int i = 0; i < 1000; ++i) {
        if (std::ifstream(folder + "/group") && std::ifstream(folder + "/daemon"))
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
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

}   // namespace

extern "C" {

__attribute__((visibility("default"))) HRESULT Greeting(DWORD, BYTE*, DWORD* pcbOutput, BYTE** ppOutput,
                                                        IRAPIStream*) {
    return AnswerText("hello from the device", pcbOutput, ppOutput);
}

// Answers the input reversed.
__attribute__((visibility("default"))) HRESULT Reverse(DWORD cbInput, BYTE* pInput, DWORD* pcbOutput, BYTE** ppOutput,
                                                       IRAPIStream*) {
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

// Exported, but not among those the tests' service allows.
__attribute__((visibility("default"))) HRESULT NotOffered(DWORD, BYTE*, DWORD*, BYTE**, IRAPIStream*) { return S_OK; }

__attribute__((visibility("default"))) HRESULT Refuse(DWORD, BYTE*, DWORD*, BYTE**, IRAPIStream*) {
    return static_cast<HRESULT>(0x80070020u);
}

// Hangs; with an input, first writes its process id to the file the input names.
__attribute__((visibility("default"))) HRESULT Hang(DWORD cbInput, BYTE* pInput, DWORD*, BYTE**, IRAPIStream*) {
    if (cbInput > 0)
        WritePid(Input(cbInput, pInput));
    SleepForever();
}

// Leaves processes behind in the folder the input names, then hangs past the time limit.
__attribute__((visibility("default"))) HRESULT StragglersThenHang(DWORD cbInput, BYTE* pInput, DWORD*, BYTE**,
                                                                  IRAPIStream*) {
    SpawnStragglers(Input(cbInput, pInput));
    SleepForever();
}

// The same, then answers at once.
__attribute__((visibility("default"))) HRESULT StragglersThenReturn(DWORD cbInput, BYTE* pInput, DWORD*, BYTE**,
                                                                    IRAPIStream*) {
    SpawnStragglers(Input(cbInput, pInput));
    return S_OK;
}

__attribute__((visibility("default"))) HRESULT Crash(DWORD, BYTE*, DWORD*, BYTE**, IRAPIStream*) { std::abort(); }

// Writes a marker file named by the input, so a test can see whether the library ever ran.
__attribute__((visibility("default"))) HRESULT Touch(DWORD cbInput, BYTE* pInput, DWORD*, BYTE**, IRAPIStream*) {
    std::ofstream(Input(cbInput, pInput)) << "ran";
    return S_OK;
}
}
