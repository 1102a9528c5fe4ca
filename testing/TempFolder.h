#pragma once
// A fresh temporary folder for a test's files, removed with everything in it when the object goes.
#include <string>

class TempFolder {
public:
    // `name` starts the folder's name, to tell whose folder a leftover is.
    explicit TempFolder(const std::string& name = "quillmar-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};
