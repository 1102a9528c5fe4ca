// Loading and saving: UTF-8 on disk, UTF-16 in memory.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/Paths.h"
#include "xml/Markup.h"

namespace {

constexpr size_t kChunkSize = 1 << 20;

// Closes the descriptor however the read ends.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// Appends UTF-8 bytes to UTF-16 text. Markup is mostly ASCII, so ASCII is widened directly,
// eight bytes at a time where it can be, and only runs of other bytes go through the
// platform's converter (which turns invalid bytes into U+FFFD). A UTF-8 sequence never holds
// an ASCII byte, so cutting at ASCII never splits one. A run still open at the end of `bytes`
// may be an incomplete sequence: its length is returned so the caller can carry it over.
size_t AppendUtf8(std::u16string& out, const char* bytes, size_t size, bool final) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    const unsigned char* end = p + size;
    size_t written = out.size();
    out.resize(written + size);   // never more code units than bytes
    char16_t* o = out.data() + written;
    while (p < end) {
        while (end - p >= 8) {
            uint64_t block;
            std::memcpy(&block, p, 8);
            if (block & 0x8080808080808080ull)
                break;
            for (int k = 0; k < 8; ++k)
                o[k] = p[k];
            p += 8;
            o += 8;
        }
        while (p < end && *p < 0x80)
            *o++ = *p++;
        const unsigned char* runStart = p;
        while (p < end && *p >= 0x80)
            ++p;
        if (p == runStart)
            continue;
        if (p == end && !final) {
            out.resize(static_cast<size_t>(o - out.data()));
            return static_cast<size_t>(p - runStart);
        }
        CString run = CString::FromUtf8(std::string_view(reinterpret_cast<const char*>(runStart),
                                                         static_cast<size_t>(p - runStart)));
        size_t room = static_cast<size_t>(out.data() + out.size() - o);
        if (run.str().size() > room) {
            // Cannot happen with one code unit per byte at most, but never write past the end.
            size_t at = static_cast<size_t>(o - out.data());
            out.resize(out.size() + run.str().size() - room);
            o = out.data() + at;
        }
        std::memcpy(o, run.GetString(), run.str().size() * sizeof(char16_t));
        o += run.str().size();
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return 0;
}

// Reads and converts in chunks, so the whole file never sits in memory twice.
bool ReadUtf8File(const std::string& path, std::u16string& text) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
        return false;
    struct stat st {};
    if (::fstat(file.Get(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    text.clear();
    if (S_ISREG(st.st_mode) && st.st_size > 0)
        text.reserve(static_cast<size_t>(st.st_size));
    std::vector<char> chunk(kChunkSize);
    size_t carried = 0;
    for (;;) {
        ssize_t n = ::read(file.Get(), chunk.data() + carried, chunk.size() - carried);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        size_t available = carried + static_cast<size_t>(n);
        bool final = n == 0;
        size_t open = AppendUtf8(text, chunk.data(), available, final);
        if (final)
            return true;
        // An unfinished run of non-ASCII bytes waits for the rest of its sequence. A run that
        // fills the whole chunk is converted up to its last lead byte instead.
        if (open == chunk.size()) {
            size_t cut = open;
            for (size_t back = 1; back <= 4 && back <= open; ++back) {
                if (static_cast<unsigned char>(chunk[open - back]) >= 0xC0) {
                    cut = open - back;
                    break;
                }
            }
            AppendUtf8(text, chunk.data(), cut, true);
            open -= cut;
        }
        std::memmove(chunk.data(), chunk.data() + available - open, open);
        carried = open;
    }
}

std::string EncodeUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    size_t i = 0;
    while (i < text.size()) {
        size_t asciiStart = i;
        while (i < text.size() && text[i] < 0x80)
            ++i;
        size_t done = out.size();
        out.resize(done + (i - asciiStart));
        for (size_t k = asciiStart; k < i; ++k)
            out[done + k - asciiStart] = static_cast<char>(text[k]);
        size_t runStart = i;
        while (i < text.size() && text[i] >= 0x80)
            ++i;
        if (i > runStart)
            out += CString(std::u16string_view(text).substr(runStart, i - runStart)).ToUtf8();
    }
    return out;
}

}  // namespace

bool CMarkup::Load(const CString& path) {
    std::u16string text;
    if (!ReadUtf8File(path.ToUtf8(), text))
        return false;
    return x_SetDocText(std::move(text));
}

bool CMarkup::Save(const CString& path) {
    return WriteFileAtomically(path.ToUtf8(), EncodeUtf8(m_strDoc.str()));
}
