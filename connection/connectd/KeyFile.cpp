#include "connection/connectd/KeyFile.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "connection/Pairing.h"
#include "platform/Paths.h"

namespace {

RapiStatus Failed(const std::string& what) {
    return RapiStatus::Error(RapiStatus::Code::IoError, what + ": " + std::strerror(errno));
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

RapiStatus ReadKey(const std::string& path, rapi::PairingKey& key) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return Failed("cannot open " + path);
    struct stat info {};
    char text[2 * rapi::kKeySize + 8] = {};
    ssize_t size = -1;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        size = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (size < 0)
        return RapiStatus::Error(RapiStatus::Code::IoError, path + " is not a readable key file");
    if (info.st_mode & (S_IRWXG | S_IRWXO))
        return RapiStatus::Error(RapiStatus::Code::IoError,
                                 path + " may be read by others; make it private (chmod 600) or remove it");
    std::string hex(text, static_cast<size_t>(size));
    while (!hex.empty() && (hex.back() == '\n' || hex.back() == '\r'))
        hex.pop_back();
    auto parsed = Pairing::KeyFromHex(hex);
    if (!parsed)
        return RapiStatus::Error(RapiStatus::Code::Malformed, path + " does not hold a pairing key");
    key = *parsed;
    return RapiStatus::Ok();
}

RapiStatus CreateKey(const std::string& path, rapi::PairingKey& key) {
    if (!MakeFolders(ParentOf(path), 0700))
        return Failed("cannot make the folder of " + path);
    // O_EXCL: two services starting at once must not both write a key.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Failed("cannot create " + path);
    randombytes_buf(key.data(), key.size());
    const std::string text = Pairing::KeyToHex(key) + "\n";
    bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written) {
        ::unlink(path.c_str());
        return Failed("cannot write " + path);
    }
    return RapiStatus::Ok();
}

}   // namespace

std::string KeyFile::DefaultPath() { return GetConfigHome() + "/Kestovar/connectd.key"; }

RapiStatus KeyFile::LoadOrCreate(const std::string& path, rapi::PairingKey& key) {
    if (sodium_init() < 0)
        return RapiStatus::Error(RapiStatus::Code::IoError, "libsodium cannot start");
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 && errno == ENOENT) {
        RapiStatus created = CreateKey(path, key);
        if (created.ok() || errno != EEXIST)
            return created;
    }
    return ReadKey(path, key);
}

RapiStatus KeyFile::Load(const std::string& path, rapi::PairingKey& key) {
    if (sodium_init() < 0)
        return RapiStatus::Error(RapiStatus::Code::IoError, "libsodium cannot start");
    return ReadKey(path, key);
}
