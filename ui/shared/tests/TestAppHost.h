#pragma once
// The host (ui/shared/AppHost.h) a test installs in place of a program's: settings the test
// sets, an Options sheet that is never shown and a project picker the test scripts. Installed
// while it lives.
#include <functional>

#include "ui/shared/AppHost.h"
#include "ui/shared/SharedSettings.h"

class TestAppHost : public CAppHost {
public:
    TestAppHost();   // the shared settings' defaults
    ~TestAppHost() override;
    TestAppHost(const TestAppHost&) = delete;
    TestAppHost& operator=(const TestAppHost&) = delete;

    const CSharedSettings& Settings() const override { return m_settings; }
    int EditOptions() override { return 0; }
    // The picker's answer; 0 (Cancel) unless the test set one.
    int SelectProject(CProject& project) override { return m_selectProject ? m_selectProject(project) : 0; }

    CSharedSettings m_settings;
    std::function<int(CProject&)> m_selectProject;

private:
    CAppHost* m_previous = nullptr;
};
