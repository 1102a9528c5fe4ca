#pragma once
// What the desktop gives the shared dialogs (ui/shared/AppHost.h): its application object's
// settings, its Options sheet with the theme, and its Manage Clients and Projects dialog as
// the project picker. The application object owns one and installs it while it lives.
#include "ui/shared/AppHost.h"

class CQuillmarApp;

class CDesktopHost : public CAppHost {
public:
    explicit CDesktopHost(CQuillmarApp& app) : m_app(app) {}

    const CSharedSettings& Settings() const override;
    // Preferences (with the theme) and Custom Field Labels; on OK every setting is written,
    // the theme applied and the side bar and entries view reloaded.
    int EditOptions() override;
    int SelectProject(CProject& project) override;

private:
    CQuillmarApp& m_app;
};
