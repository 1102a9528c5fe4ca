#pragma once
// What the device gives the shared dialogs (ui/shared/AppHost.h): its application object's
// settings, its Options sheet without themes, and its Manage Clients and Projects dialog as
// the project picker. The application object owns one and installs it while it lives.
#include "ui/shared/AppHost.h"

class CQuillmarApp;

class CDeviceHost : public CAppHost {
public:
    explicit CDeviceHost(CQuillmarApp& app) : m_app(app) {}

    const CSharedSettings& Settings() const override;
    // Preferences and Custom Field Labels; on OK the settings are written and the entries view
    // recomputes its period.
    int EditOptions() override;
    int SelectProject(CProject& project) override;

private:
    CQuillmarApp& m_app;
};
