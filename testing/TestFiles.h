#pragma once
// Whole files and folder listings for tests, without the error handling the libraries need:
// a file that cannot be read reads as empty.
#include <string>
#include <vector>

std::string ReadFileBytes(const std::string& path);
// True when all bytes were written.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The names in `folder`, sorted; none when it cannot be read.
std::vector<std::string> FolderEntries(const std::string& folder);
