#pragma once
// The keys and values of the per-user registry in memory, and their registry-export text form:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Kestovar\Quillmar\Settings]
//   "FirstDayOfWeek"=dword:00000002
//   "MileageRate"=hex:33,33,b3,3e
//   "Name"="text with \\ and \" escaped"
//   "Notes"=hex(1):41,00,0a,00,00,00      (a string holding a line break, as UTF-16LE)
//   @="the key's default value"
//
// Key and value names compare without regard to case and keep the case they were first
// written with. Every ancestor of a key exists as a key of its own. Registry.cpp adds the file.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformExport.h"
#include "platform/Registry.h"

class QUILLMAR_PLATFORM_EXPORT RegistryTree {
public:
    // nullopt when the text does not parse: unknown syntax, another hive, a value outside a
    // key, a bad escape or hex byte, a value type other than string / dword / hex / hex(1),
    // or bytes that are not UTF-8. Empty text is an empty registry.
    static std::optional<RegistryTree> Parse(std::string_view text);
    std::string ToText() const;

    // Key paths relative to HKEY_CURRENT_USER: leading, trailing and doubled backslashes are
    // dropped; nullopt for a name holding a line break or NUL. "" is the hive itself.
    static std::optional<CString> NormalizeKey(const CString& key);
    static bool IsValidValueName(const CString& name);

    bool HasKey(const CString& key) const;
    const Registry::Value* Find(const CString& key, const CString& name) const;
    // Adds the key and its ancestors; true when something was added.
    bool AddKey(const CString& key);
    // Adds the key when missing and sets the value; true when anything changed.
    bool Set(const CString& key, const CString& name, const Registry::Value& value);
    bool Remove(const CString& key, const CString& name);   // false when there was no such value
    bool RemoveTree(const CString& key);                    // false when there was no such key
    std::vector<CString> ValueNames(const CString& key) const;
    std::vector<CString> SubKeys(const CString& key) const;

private:
    struct NamedValue {
        CString name;
        Registry::Value value;
    };
    struct Key {
        CString path;   // as first written
        std::vector<NamedValue> values;
    };
    // Folded paths, ordered so a key's children follow it directly.
    struct PathOrder {
        bool operator()(const std::u16string& a, const std::u16string& b) const;
    };

    static std::u16string Fold(const CString& text);
    Key* FindKey(const CString& normalizedKey);
    const Key* FindKey(const CString& normalizedKey) const;

    std::map<std::u16string, Key, PathOrder> m_keys{{u"", Key{}}};
};
