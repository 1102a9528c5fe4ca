#include "ui/shared/AppHost.h"

namespace {
CAppHost*& InstalledHost() {
    static CAppHost* host = nullptr;
    return host;
}
}   // namespace

CAppHost* SetAppHost(CAppHost* host) {
    CAppHost* previous = InstalledHost();
    InstalledHost() = host;
    return previous;
}

CAppHost* GetAppHost() { return InstalledHost(); }
