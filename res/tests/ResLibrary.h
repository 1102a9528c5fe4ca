#pragma once
// The resource library as the tests see it: opened once by path with dlopen, never linked.
#include <span>
#include <string>

namespace res_test {

using LookupFn = const char* (*)(unsigned);

struct ResLibrary {
    void* handle = nullptr;
    LookupFn string = nullptr;
    LookupFn icon = nullptr;
    std::string error;   // why opening failed, empty on success
};

// Opened on first use and closed at exit.
const ResLibrary& Res();

// Every string number the programs and the business library ask the resource library for.
std::span<const unsigned> NamedStringIds();
// Every icon number they ask it for.
std::span<const unsigned> NamedIconIds();

}   // namespace res_test
