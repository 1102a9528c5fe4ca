// Loading and saving: UTF-8 on disk, UTF-16 in memory.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
        CString run = CString::FromUtf8(
            std::string_view(reinterpret_cast<const char*>(runStart), static_cast<size_t>(p - runStart)));
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

// Turns UTF-16 text into UTF-8 a piece at a time into one small buffer that stays in cache, so
// saving a large document neither allocates nor touches memory the size of the file. Surrogate
// pairs become one four-byte sequence; a lone surrogate has no UTF-8 form and becomes U+FFFD,
// as the platform's converter does.
class Utf8PieceWriter {
public:
    explicit Utf8PieceWriter(const FilePieceSink& sink) : m_sink(sink), m_buffer(kPieceSize + kSlack) {}

    bool Write(std::u16string_view text) {
        const char16_t* p = text.data();
        const char16_t* const textEnd = p + text.size();
        while (p < textEnd) {
            // At most three bytes per code unit, plus one when a pair straddles the segment end.
            size_t room = m_used < kPieceSize ? kPieceSize - m_used : 0;
            if (room < kMinRoom) {
                if (!Flush())
                    return false;
                room = kPieceSize;
            }
            const size_t units = std::min(static_cast<size_t>(textEnd - p), room / 3);
            p = Encode(p, p + units, textEnd);
        }
        return Flush();
    }

private:
    static constexpr size_t kPieceSize = 256 * 1024;
    static constexpr size_t kSlack = 16;
    static constexpr size_t kMinRoom = 3 * 64;
    static constexpr size_t kBlock = 16;

    bool Flush() {
        if (m_used == 0)
            return true;
        const bool written = m_sink(std::string_view(m_buffer.data(), m_used));
        m_used = 0;
        return written;
    }

    // Encodes [p, segmentEnd) (one unit more when a pair straddles segmentEnd); returns where
    // it stopped.
    const char16_t* Encode(const char16_t* p, const char16_t* segmentEnd, const char16_t* textEnd) {
        char* o = m_buffer.data() + m_used;
        while (p < segmentEnd) {
            // Markup is mostly ASCII: narrow whole blocks once none of their units needs more.
            while (static_cast<size_t>(segmentEnd - p) >= kBlock && NarrowAsciiBlock(p, o)) {
                p += kBlock;
                o += kBlock;
            }
            const char16_t* const stop = std::min(segmentEnd, p + kBlock);
            while (p < stop)
                p = EncodeOne(p, textEnd, o);
        }
        m_used = static_cast<size_t>(o - m_buffer.data());
        return p;
    }

    // Writes the kBlock units at `p` as bytes when all are ASCII; false (nothing written) otherwise.
    static bool NarrowAsciiBlock(const char16_t* p, char* o) {
#if defined(__SSE2__)
        static_assert(kBlock == 16);
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
        const __m128i beyondAscii = _mm_and_si128(_mm_or_si128(low, high), _mm_set1_epi16(static_cast<short>(0xFF80)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(beyondAscii, _mm_setzero_si128())) != 0xFFFF)
            return false;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(low, high));
        return true;
#else
        char16_t any = 0;
        for (size_t k = 0; k < kBlock; ++k)
            any |= p[k];
        if (any & 0xFF80)
            return false;
        for (size_t k = 0; k < kBlock; ++k)
            o[k] = static_cast<char>(p[k]);
        return true;
#endif
    }

    static const char16_t* EncodeOne(const char16_t* p, const char16_t* textEnd, char*& o) {
        const char16_t c = *p++;
        if (c < 0x80) {
            *o++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *o++ = static_cast<char>(0xC0 | (c >> 6));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (IsHighSurrogate(c) && p < textEnd && IsLowSurrogate(*p)) {
            const uint32_t code = 0x10000 + ((static_cast<uint32_t>(c) - 0xD800) << 10) + (*p++ - 0xDC00u);
            *o++ = static_cast<char>(0xF0 | (code >> 18));
            *o++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (code & 0x3F));
        } else {
            const char16_t unit = IsHighSurrogate(c) || IsLowSurrogate(c) ? kReplacement : c;
            *o++ = static_cast<char>(0xE0 | (unit >> 12));
            *o++ = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (unit & 0x3F));
        }
        return p;
    }

    static bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
    static bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
    static constexpr char16_t kReplacement = 0xFFFD;

    const FilePieceSink& m_sink;
    std::vector<char> m_buffer;
    size_t m_used = 0;
};

}   // namespace

bool CMarkup::Load(const CString& path) {
    std::u16string text;
    if (!ReadUtf8File(path.ToUtf8(), text))
        return false;
    return x_SetDocText(std::move(text));
}

bool CMarkup::Save(const CString& path) { return SaveFile(path).IsWritten(); }

WriteStatus CMarkup::SaveFile(const CString& path) {
    const std::u16string_view text = m_strDoc.str();
    return WriteFileAtomicallyWithStatus(
        path.ToUtf8(), [text](const FilePieceSink& sink) { return Utf8PieceWriter(sink).Write(text); });
}
