#pragma once
// A temporary user folder for a test: HOME and the XDG folders point into it while the object
// lives; the folder is removed afterwards. Switch() makes another TempHome's folders current.
#include <string>

class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& Path() const { return m_path; }
    void Activate() const;   // points HOME and the XDG variables here
    // Environment assignments for a child process using this folder as its HOME.
    std::string ConfigHome() const { return m_path + "/.config"; }

private:
    std::string m_path;
};
