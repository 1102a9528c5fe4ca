#pragma once
// A data folder of a benchmark's own in the temporary folder, named in the environment as the
// programs' data and settings folders, and removed with everything in it when it goes.
#include <string>

class CBenchFolder {
public:
    explicit CBenchFolder(const std::string& prefix);
    ~CBenchFolder();
    CBenchFolder(const CBenchFolder&) = delete;
    CBenchFolder& operator=(const CBenchFolder&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};
