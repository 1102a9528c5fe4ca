#pragma once
// What the data store's fuzz targets share: a private data folder for the process, and the
// checks every input must pass. A failed check aborts, which the fuzzer reports with the input.
#include <cstddef>
#include <cstdint>
#include <string>

class CDataHelper;

namespace StoreFuzz {

// Makes a fresh folder (in /dev/shm when there is one) and points the desktop data folder, HOME
// and the XDG folders into it; disk syncing off, message boxes answered with their default and
// counted. Call once, from LLVMFuzzerInitialize.
void SetUpProcess();
const std::string& DataFolder();
std::string DataFilePath();
// Removes every file of the data folder.
void EmptyDataFolder();
void WriteFileBytes(const std::string& path, const uint8_t* data, size_t size);
// Message boxes shown since the last call.
int TakeShownBoxes();

// The process's data store; aborts when there is none.
CDataHelper& Store();
// Every check of a loaded store: the data file reads back as what memory holds; every record of
// every kind lists, with fields inside their limits; IDs are unique and a new record gets one
// of its own that loads; no temporary file is left.
void CheckStore();
void Check(bool condition, const char* what);

}   // namespace StoreFuzz
