#pragma once
// What the shared lists and dialogs need from the program that shows them and that differs
// between the desktop and the device: the settings they show, the Options sheet and the
// project picker. Each program installs its host at start-up, as it installs the message-box
// handler. With none installed the settings have their documented defaults and the Options
// sheet and the project picker show nothing and answer 0.
class CProject;
class CSharedSettings;

class CAppHost {
public:
    virtual ~CAppHost() = default;

    // The program's settings as its application object holds them.
    virtual const CSharedSettings& Settings() const = 0;
    // The Options sheet; 1 when the user confirmed and the settings were applied, else 0.
    virtual int EditOptions() = 0;
    // The project picker; see SelectProject (ui/shared/dialogs/SelectProject.h).
    virtual int SelectProject(CProject& project) = 0;
};

// Installs the host (not owned; nullptr removes it) and returns the one it replaces.
CAppHost* SetAppHost(CAppHost* host);
// The installed host; nullptr when there is none.
CAppHost* GetAppHost();
