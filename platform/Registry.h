#pragma once
// Per-user registry: keys under HKEY_CURRENT_USER with DWORD, string and binary values.
// Kept in one file in registry-export text form (RegistryTree.h), at
// $XDG_CONFIG_HOME/Kestovar/registry.reg (default ~/.config/Kestovar/registry.reg), readable by
// its user only since it holds the connection key. Every change is written atomically
// (temporary file, flush, rename) under a lock file, so two processes never lose each other's
// changes; the file is read again whenever it changed on disk. A file that does not parse is
// kept as registry.reg.unreadable-<yyyymmdd-hhmmss> and a fresh registry begun; it is never
// overwritten. A file that exists but cannot be read reads as empty and refuses writes.
// Key and value names compare without regard to case.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/CString.h"
#include "platform/PlatformExport.h"

class QUILLMAR_PLATFORM_EXPORT Registry {
public:
    enum class Type { Dword, String, Binary };
    struct Value {
        Type type = Type::String;
        uint32_t dword = 0;
        CString text;
        std::vector<uint8_t> bytes;
    };

    // Key paths are relative to HKEY_CURRENT_USER with backslashes: "Software\\Kestovar\\Quillmar\\Settings".
    static bool KeyExists(const CString& key);
    static std::optional<Value> Query(const CString& key, const CString& name);
    static std::optional<uint32_t> QueryDword(const CString& key, const CString& name);
    static std::optional<CString> QueryString(const CString& key, const CString& name);
    static std::optional<std::vector<uint8_t>> QueryBinary(const CString& key, const CString& name);
    // Typed reads with defaults (missing or wrong type gives the default).
    static uint32_t GetDword(const CString& key, const CString& name, uint32_t def);
    static CString GetString(const CString& key, const CString& name, const CString& def);

    // Writes return false when the file could not be written (the value is then not kept), and
    // for a key or value name holding a line break or NUL. Writing what is already stored is true.
    static bool CreateKey(const CString& key);
    static bool SetDword(const CString& key, const CString& name, uint32_t value);
    static bool SetString(const CString& key, const CString& name, const CString& value);
    static bool SetBinary(const CString& key, const CString& name, const std::vector<uint8_t>& value);
    // false also when there is no such value / key ("" is the hive: its contents go, it stays).
    static bool DeleteValue(const CString& key, const CString& name);
    static bool DeleteTree(const CString& key);   // the key and everything below it

    static std::vector<CString> ValueNames(const CString& key);
    static std::vector<CString> SubKeys(const CString& key);

    // The file in use; follows changes of HOME / XDG_CONFIG_HOME.
    static std::string FilePath();
    // Drops the cached contents so the next call reads the file again.
    static void Reload();
};
