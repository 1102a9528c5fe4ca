#include "platform/RegistryTree.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <utility>

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";
constexpr std::string_view kHive = "HKEY_CURRENT_USER";
constexpr size_t kHexLineWidth = 79;   // before the continuing backslash

bool IsAsciiSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && IsAsciiSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (IsAsciiSpace(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i], b = prefix[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = static_cast<char>(b - 'a' + 'A');
        if (a != b)
            return false;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF. A settings file that
// is not UTF-8 would come back altered on the next write, so it counts as unreadable.
bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t extra = 0;
        uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size())
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static constexpr uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

// The quoted text at the start of `rest` (which must begin with '"'), with \\ and \" undone.
bool TakeQuoted(std::string_view& rest, std::string& out) {
    if (rest.empty() || rest.front() != '"')
        return false;
    out.clear();
    for (size_t i = 1; i < rest.size(); ++i) {
        const char c = rest[i];
        if (c == '"') {
            rest.remove_prefix(i + 1);
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= rest.size() || (rest[i + 1] != '\\' && rest[i + 1] != '"'))
                return false;
            out += rest[++i];
        } else {
            out += c;
        }
    }
    return false;
}

bool ParseHexBytes(std::string_view text, std::vector<uint8_t>& out) {
    out.clear();
    text = TrimSpaces(text);
    if (text.empty())
        return true;
    for (;;) {
        size_t comma = text.find(',');
        std::string_view item = TrimSpaces(text.substr(0, comma));
        if (item.size() != 2 || HexDigit(item[0]) < 0 || HexDigit(item[1]) < 0)
            return false;
        out.push_back(static_cast<uint8_t>(HexDigit(item[0]) * 16 + HexDigit(item[1])));
        if (comma == std::string_view::npos)
            return true;
        text.remove_prefix(comma + 1);
    }
}

bool ParseDword(std::string_view text, uint32_t& out) {
    text = TrimSpaces(text);
    if (text.empty() || text.size() > 8)
        return false;
    out = 0;
    for (char c : text) {
        const int d = HexDigit(c);
        if (d < 0)
            return false;
        out = out * 16 + static_cast<uint32_t>(d);
    }
    return true;
}

// A string stored as hex(1): UTF-16LE with its terminating NUL.
bool DecodeUtf16Le(const std::vector<uint8_t>& bytes, CString& out) {
    if (bytes.size() % 2 != 0)
        return false;
    std::u16string text;
    for (size_t i = 0; i < bytes.size(); i += 2)
        text += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (!text.empty() && text.back() == u'\0')
        text.pop_back();
    out = CString(std::move(text));
    return true;
}

std::optional<Registry::Value> ParseValueData(std::string_view data) {
    Registry::Value value;
    if (!data.empty() && data.front() == '"') {
        std::string text;
        if (!TakeQuoted(data, text) || !TrimSpaces(data).empty())
            return std::nullopt;
        value.type = Registry::Type::String;
        value.text = CString::FromUtf8(text);
    } else if (StartsWithNoCase(data, "dword:")) {
        value.type = Registry::Type::Dword;
        if (!ParseDword(data.substr(6), value.dword))
            return std::nullopt;
    } else if (StartsWithNoCase(data, "hex:")) {
        value.type = Registry::Type::Binary;
        if (!ParseHexBytes(data.substr(4), value.bytes))
            return std::nullopt;
    } else if (StartsWithNoCase(data, "hex(1):")) {
        value.type = Registry::Type::String;
        std::vector<uint8_t> bytes;
        if (!ParseHexBytes(data.substr(7), bytes) || !DecodeUtf16Le(bytes, value.text))
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    return value;
}

// Joins lines ending in a backslash (hex data wrapped over several lines) with the next one.
std::vector<std::string> LogicalLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string pending;
    bool continuing = false;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        line = TrimSpaces(line);
        const bool isSection = !line.empty() && line.front() == '[';
        continuing = !isSection && !line.empty() && line.back() == '\\';
        if (continuing)
            line.remove_suffix(1);
        pending += line;
        if (!continuing) {
            lines.push_back(std::move(pending));
            pending.clear();
        }
    }
    if (continuing)
        lines.push_back(std::move(pending));
    return lines;
}

std::string EscapeQuoted(const CString& text) {
    std::string out = "\"";
    for (char c : text.ToUtf8()) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

bool NeedsHexForm(const CString& text) {
    return std::any_of(text.str().begin(), text.str().end(),
                       [](char16_t c) { return c == u'\r' || c == u'\n' || c == u'\0'; });
}

// Wraps as a registry export does: lines of at most 80 characters, continued with a backslash.
std::string HexBytes(std::string line, const std::vector<uint8_t>& bytes) {
    std::string out;
    char item[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(item, sizeof item, "%02x", bytes[i]);
        line += item;
        if (i + 1 == bytes.size())
            break;
        line += ',';
        if (line.size() + 3 > kHexLineWidth) {
            out += line + "\\\n";
            line = "  ";
        }
    }
    return out + line;
}

std::vector<uint8_t> Utf16LeWithNul(const CString& text) {
    std::vector<uint8_t> bytes;
    for (char16_t c : text.str()) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

std::string FormatValue(const CString& name, const Registry::Value& value) {
    std::string line = name.IsEmpty() ? "@" : EscapeQuoted(name);
    line += '=';
    switch (value.type) {
    case Registry::Type::Dword: {
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", value.dword);
        return line + digits;
    }
    case Registry::Type::String:
        if (NeedsHexForm(value.text))
            return HexBytes(line + "hex(1):", Utf16LeWithNul(value.text));
        return line + EscapeQuoted(value.text);
    case Registry::Type::Binary: return HexBytes(line + "hex:", value.bytes);
    }
    return line;
}

bool SameValue(const Registry::Value& a, const Registry::Value& b) {
    if (a.type != b.type)
        return false;
    switch (a.type) {
    case Registry::Type::Dword: return a.dword == b.dword;
    case Registry::Type::String: return a.text == b.text;
    case Registry::Type::Binary: return a.bytes == b.bytes;
    }
    return false;
}

// The key path of a section line's inside, or nullopt for another hive or a bad name.
std::optional<CString> SectionKey(std::string_view inside) {
    if (!StartsWithNoCase(inside, kHive))
        return std::nullopt;
    inside.remove_prefix(kHive.size());
    if (!inside.empty() && inside.front() != '\\')
        return std::nullopt;
    return RegistryTree::NormalizeKey(CString::FromUtf8(inside));
}

}   // namespace

bool RegistryTree::PathOrder::operator()(const std::u16string& a, const std::u16string& b) const {
    // The separator sorts before every other character, so "A\B" comes right after "A".
    auto rank = [](char16_t c) { return c == u'\\' ? 0 : static_cast<int>(c) + 1; };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char16_t x, char16_t y) { return rank(x) < rank(y); });
}

std::u16string RegistryTree::Fold(const CString& text) {
    CString folded = text;
    folded.MakeLower();
    return folded.str();
}

std::optional<CString> RegistryTree::NormalizeKey(const CString& key) {
    std::u16string out;
    for (char16_t c : key.str()) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return std::nullopt;
        if (c == u'\\' && (out.empty() || out.back() == u'\\'))
            continue;
        out += c;
    }
    if (!out.empty() && out.back() == u'\\')
        out.pop_back();
    return CString(std::move(out));
}

bool RegistryTree::IsValidValueName(const CString& name) { return !NeedsHexForm(name); }

RegistryTree::Key* RegistryTree::FindKey(const CString& normalizedKey) {
    auto it = m_keys.find(Fold(normalizedKey));
    return it == m_keys.end() ? nullptr : &it->second;
}

const RegistryTree::Key* RegistryTree::FindKey(const CString& normalizedKey) const {
    auto it = m_keys.find(Fold(normalizedKey));
    return it == m_keys.end() ? nullptr : &it->second;
}

bool RegistryTree::HasKey(const CString& key) const {
    auto normalized = NormalizeKey(key);
    return normalized && FindKey(*normalized) != nullptr;
}

const Registry::Value* RegistryTree::Find(const CString& key, const CString& name) const {
    auto normalized = NormalizeKey(key);
    const Key* entry = normalized ? FindKey(*normalized) : nullptr;
    if (!entry)
        return nullptr;
    const std::u16string folded = Fold(name);
    for (const NamedValue& v : entry->values)
        if (Fold(v.name) == folded)
            return &v.value;
    return nullptr;
}

bool RegistryTree::AddKey(const CString& key) {
    auto normalized = NormalizeKey(key);
    if (!normalized)
        return false;
    bool added = false;
    const std::u16string& path = normalized->str();
    for (size_t end = 0; end != std::u16string::npos;) {
        end = path.find(u'\\', end + 1);
        CString ancestor(path.substr(0, end));
        if (ancestor.IsEmpty())
            continue;
        auto [it, inserted] = m_keys.try_emplace(Fold(ancestor), Key{ancestor, {}});
        added = added || inserted;
    }
    return added;
}

bool RegistryTree::Set(const CString& key, const CString& name, const Registry::Value& value) {
    auto normalized = NormalizeKey(key);
    if (!normalized || !IsValidValueName(name))
        return false;
    bool changed = AddKey(*normalized);
    Key* entry = FindKey(*normalized);
    const std::u16string folded = Fold(name);
    for (NamedValue& v : entry->values) {
        if (Fold(v.name) == folded) {
            if (SameValue(v.value, value))
                return changed;
            v.value = value;
            return true;
        }
    }
    entry->values.push_back(NamedValue{name, value});
    return true;
}

bool RegistryTree::Remove(const CString& key, const CString& name) {
    auto normalized = NormalizeKey(key);
    Key* entry = normalized ? FindKey(*normalized) : nullptr;
    if (!entry)
        return false;
    const std::u16string folded = Fold(name);
    auto it = std::find_if(entry->values.begin(), entry->values.end(),
                           [&](const NamedValue& v) { return Fold(v.name) == folded; });
    if (it == entry->values.end())
        return false;
    entry->values.erase(it);
    return true;
}

bool RegistryTree::RemoveTree(const CString& key) {
    auto normalized = NormalizeKey(key);
    if (!normalized || !FindKey(*normalized))
        return false;
    if (normalized->IsEmpty()) {
        // The hive itself stays; everything in it goes.
        m_keys.clear();
        m_keys.emplace(u"", Key{});
        return true;
    }
    const std::u16string folded = Fold(*normalized);
    const std::u16string childPrefix = folded + u'\\';
    std::erase_if(m_keys,
                  [&](const auto& item) { return item.first == folded || item.first.starts_with(childPrefix); });
    return true;
}

std::vector<CString> RegistryTree::ValueNames(const CString& key) const {
    std::vector<CString> names;
    auto normalized = NormalizeKey(key);
    if (const Key* entry = normalized ? FindKey(*normalized) : nullptr)
        for (const NamedValue& v : entry->values)
            names.push_back(v.name);
    return names;
}

std::vector<CString> RegistryTree::SubKeys(const CString& key) const {
    std::vector<CString> names;
    auto normalized = NormalizeKey(key);
    if (!normalized || !FindKey(*normalized))
        return names;
    const std::u16string folded = Fold(*normalized);
    const std::u16string prefix = folded.empty() ? folded : folded + u'\\';
    for (const auto& [path, entry] : m_keys) {
        if (path.empty() || !path.starts_with(prefix) || path.size() == prefix.size())
            continue;
        if (path.find(u'\\', prefix.size()) == std::u16string::npos)
            names.push_back(CString(entry.path.str().substr(prefix.size())));
    }
    return names;
}

std::optional<RegistryTree> RegistryTree::Parse(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (!IsValidUtf8(text))
        return std::nullopt;
    RegistryTree tree;
    // Where each value name of each key stands, so a file of many values reads in linear time.
    std::map<std::u16string, std::unordered_map<std::u16string, size_t>> valueIndex;
    Key* currentKey = nullptr;
    std::unordered_map<std::u16string, size_t>* currentIndex = nullptr;
    bool first = true;
    for (const std::string& lineText : LogicalLines(text)) {
        std::string_view line = lineText;
        if (line.empty() || line.front() == ';')
            continue;
        const bool wasFirst = std::exchange(first, false);
        if (wasFirst && (line == kHeader || line == kOldHeader))
            continue;
        if (line.front() == '[') {
            if (line.back() != ']')
                return std::nullopt;
            const std::optional<CString> key = SectionKey(line.substr(1, line.size() - 2));
            if (!key)
                return std::nullopt;
            tree.AddKey(*key);
            currentKey = tree.FindKey(*key);
            currentIndex = &valueIndex[Fold(*key)];
            continue;
        }
        if (!currentKey)
            return std::nullopt;
        CString name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            std::string rawName;
            if (!TakeQuoted(line, rawName))
                return std::nullopt;
            name = CString::FromUtf8(rawName);
            if (!IsValidValueName(name))
                return std::nullopt;
        }
        line = TrimSpaces(line);
        if (line.empty() || line.front() != '=')
            return std::nullopt;
        auto value = ParseValueData(TrimSpaces(line.substr(1)));
        if (!value)
            return std::nullopt;
        // A name given twice keeps its first place and its last value, as Set would.
        const auto [at, added] = currentIndex->try_emplace(Fold(name), currentKey->values.size());
        if (added)
            currentKey->values.push_back(NamedValue{name, std::move(*value)});
        else
            currentKey->values[at->second].value = std::move(*value);
    }
    return tree;
}

std::string RegistryTree::ToText() const {
    std::string out(kHeader);
    out += '\n';
    for (const auto& [folded, key] : m_keys) {
        if (folded.empty() && key.values.empty())
            continue;
        out += "\n[";
        out += kHive;
        if (!key.path.IsEmpty())
            out += "\\" + key.path.ToUtf8();
        out += "]\n";
        for (const NamedValue& v : key.values)
            out += FormatValue(v.name, v.value) + "\n";
    }
    return out;
}
