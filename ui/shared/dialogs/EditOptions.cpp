#include "ui/shared/dialogs/EditOptions.h"

#include "ui/shared/AppHost.h"

int EditOptions() {
    CAppHost* host = GetAppHost();
    return host ? host->EditOptions() : 0;
}
