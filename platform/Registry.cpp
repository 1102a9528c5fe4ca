#include "platform/Registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <optional>

#include "platform/FileLock.h"
#include "platform/Paths.h"
#include "platform/RegistryTree.h"

namespace {

// What tells us another process replaced the file: a rename brings a new inode, an in-place
// edit a new size or time.
struct FileSignature {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long mtimeNs = 0;
    long long ctimeNs = 0;
    bool operator==(const FileSignature&) const = default;
};

long long Nanoseconds(const timespec& t) { return t.tv_sec * 1000000000LL + t.tv_nsec; }

// errno is left as stat set it, so callers can tell "missing" from "not reachable".
FileSignature SignatureOf(const std::string& path) {
    FileSignature sig;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return sig;
    sig.exists = true;
    sig.device = st.st_dev;
    sig.inode = st.st_ino;
    sig.size = st.st_size;
    sig.mtimeNs = Nanoseconds(st.st_mtim);
    sig.ctimeNs = Nanoseconds(st.st_ctim);
    return sig;
}

struct State {
    std::mutex mutex;
    bool loaded = false;
    std::string path;
    FileSignature signature;
    RegistryTree tree;
    bool writable = true;
};

State& TheState() {
    static State state;
    return state;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('/')); }

std::string UnreadableName(const std::string& path) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return path + ".unreadable-" + stamp;
}

// Moves the damaged file aside under a name nobody uses yet; never replaces anything.
bool MoveAside(const std::string& path) {
    const std::string base = UnreadableName(path);
    for (int n = 1; n < 1000; ++n) {
        const std::string target = n == 1 ? base : base + "-" + std::to_string(n);
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            return false;
        // File systems without RENAME_NOREPLACE: a hard link refuses an existing name too.
        if (::link(path.c_str(), target.c_str()) == 0)
            return ::unlink(path.c_str()) == 0;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool WriteTree(const std::string& path, const RegistryTree& tree) {
    return WriteFileAtomically(path, tree.ToText(), 0600);
}

void UseEmpty(State& s, const FileSignature& sig, bool writable) {
    s.tree = RegistryTree();
    s.signature = sig;
    s.writable = writable;
}

// Keeps the damaged file we read, provided it is still the one in place, and begins afresh.
bool SetAsideDamaged(State& s, const FileSignature& parsed, bool lockHeld) {
    std::optional<FileLock> lock;
    if (!lockHeld)
        lock.emplace(s.path + ".lock");
    if (SignatureOf(s.path) != parsed || !MoveAside(s.path))
        return false;
    s.tree = RegistryTree();
    WriteTree(s.path, s.tree);
    s.signature = SignatureOf(s.path);
    s.writable = true;
    return true;
}

void LoadFromDisk(State& s, bool lockHeld) {
    s.loaded = true;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const FileSignature sig = SignatureOf(s.path);
        if (!sig.exists) {
            UseEmpty(s, sig, errno == ENOENT || errno == ENOTDIR);
            return;
        }
        std::string bytes;
        if (!ReadWholeFile(s.path, bytes)) {
            // Writing now would replace settings we could not see.
            UseEmpty(s, sig, false);
            return;
        }
        if (SignatureOf(s.path) != sig)
            continue;   // replaced while we read it
        if (auto parsed = RegistryTree::Parse(bytes)) {
            s.tree = std::move(*parsed);
            s.signature = sig;
            s.writable = true;
            return;
        }
        if (SetAsideDamaged(s, sig, lockHeld))
            return;
        if (SignatureOf(s.path) == sig) {
            UseEmpty(s, sig, false);   // cannot be moved aside, so it must not be overwritten
            return;
        }
    }
    UseEmpty(s, SignatureOf(s.path), false);
}

void EnsureCurrent(State& s, bool lockHeld) {
    const std::string path = Registry::FilePath();
    if (!s.loaded || s.path != path || SignatureOf(path) != s.signature) {
        // Writes of processes that were killed half-way leave copies of the settings behind.
        if (!s.loaded || s.path != path)
            RemoveStaleTempFiles(path);
        s.path = path;
        LoadFromDisk(s, lockHeld);
    }
}

template <typename Read>
auto WithTree(Read read) {
    State& s = TheState();
    std::lock_guard guard(s.mutex);
    EnsureCurrent(s, false);
    return read(static_cast<const RegistryTree&>(s.tree));
}

enum class Outcome { Refused, Unchanged, Changed };

template <typename Change>
bool ChangeTree(Change change) {
    State& s = TheState();
    std::lock_guard guard(s.mutex);
    const std::string path = Registry::FilePath();
    MakeFolders(FolderOf(path), 0700);
    FileLock lock(path + ".lock");
    EnsureCurrent(s, true);
    if (!s.writable)
        return false;
    RegistryTree changed = s.tree;
    switch (change(changed)) {
    case Outcome::Refused: return false;
    case Outcome::Unchanged: return true;
    case Outcome::Changed: break;
    }
    if (!WriteTree(s.path, changed))
        return false;
    s.tree = std::move(changed);
    s.signature = SignatureOf(s.path);
    return true;
}

bool SetValue(const CString& key, const CString& name, const Registry::Value& value) {
    if (!RegistryTree::NormalizeKey(key) || !RegistryTree::IsValidValueName(name))
        return false;
    return ChangeTree(
        [&](RegistryTree& tree) { return tree.Set(key, name, value) ? Outcome::Changed : Outcome::Unchanged; });
}

}   // namespace

std::string Registry::FilePath() { return GetConfigHome() + "/Kestovar/registry.reg"; }

void Registry::Reload() {
    State& s = TheState();
    std::lock_guard guard(s.mutex);
    s.loaded = false;
}

bool Registry::KeyExists(const CString& key) {
    return WithTree([&](const RegistryTree& tree) { return tree.HasKey(key); });
}

std::optional<Registry::Value> Registry::Query(const CString& key, const CString& name) {
    return WithTree([&](const RegistryTree& tree) -> std::optional<Value> {
        if (const Value* value = tree.Find(key, name))
            return *value;
        return std::nullopt;
    });
}

std::optional<uint32_t> Registry::QueryDword(const CString& key, const CString& name) {
    auto value = Query(key, name);
    if (!value || value->type != Type::Dword)
        return std::nullopt;
    return value->dword;
}

std::optional<CString> Registry::QueryString(const CString& key, const CString& name) {
    auto value = Query(key, name);
    if (!value || value->type != Type::String)
        return std::nullopt;
    return value->text;
}

std::optional<std::vector<uint8_t>> Registry::QueryBinary(const CString& key, const CString& name) {
    auto value = Query(key, name);
    if (!value || value->type != Type::Binary)
        return std::nullopt;
    return value->bytes;
}

uint32_t Registry::GetDword(const CString& key, const CString& name, uint32_t def) {
    return QueryDword(key, name).value_or(def);
}

CString Registry::GetString(const CString& key, const CString& name, const CString& def) {
    return QueryString(key, name).value_or(def);
}

bool Registry::CreateKey(const CString& key) {
    if (!RegistryTree::NormalizeKey(key))
        return false;
    return ChangeTree([&](RegistryTree& tree) { return tree.AddKey(key) ? Outcome::Changed : Outcome::Unchanged; });
}

bool Registry::SetDword(const CString& key, const CString& name, uint32_t value) {
    Value v;
    v.type = Type::Dword;
    v.dword = value;
    return SetValue(key, name, v);
}

bool Registry::SetString(const CString& key, const CString& name, const CString& value) {
    Value v;
    v.type = Type::String;
    v.text = value;
    return SetValue(key, name, v);
}

bool Registry::SetBinary(const CString& key, const CString& name, const std::vector<uint8_t>& value) {
    Value v;
    v.type = Type::Binary;
    v.bytes = value;
    return SetValue(key, name, v);
}

bool Registry::DeleteValue(const CString& key, const CString& name) {
    return ChangeTree(
        [&](RegistryTree& tree) { return tree.Remove(key, name) ? Outcome::Changed : Outcome::Refused; });
}

bool Registry::DeleteTree(const CString& key) {
    return ChangeTree([&](RegistryTree& tree) { return tree.RemoveTree(key) ? Outcome::Changed : Outcome::Refused; });
}

std::vector<CString> Registry::ValueNames(const CString& key) {
    return WithTree([&](const RegistryTree& tree) { return tree.ValueNames(key); });
}

std::vector<CString> Registry::SubKeys(const CString& key) {
    return WithTree([&](const RegistryTree& tree) { return tree.SubKeys(key); });
}
