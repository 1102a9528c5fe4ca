#include "ui/shared/dialogs/SelectProject.h"

#include "ui/shared/AppHost.h"

int SelectProject(CProject* pProject) {
    CAppHost* host = GetAppHost();
    if (pProject == nullptr || host == nullptr)
        return 0;
    return host->SelectProject(*pProject);
}
