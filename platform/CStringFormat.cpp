// CString::FormatV: the conversion specs are parsed here, and every numeric conversion is
// handed to the C library's snprintf, so numbers read exactly as printf writes them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/CString.h"

namespace {

struct Spec {
    std::string flags;
    int width = -1;
    int precision = -1;
    std::string length;   // hh h l ll L j z t
    char16_t conversion = 0;
    bool LeftAligned() const { return flags.find('-') != std::string::npos; }
};

bool IsFlag(char16_t c) { return c == u'-' || c == u'+' || c == u' ' || c == u'#' || c == u'0'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int ReadNumber(const char16_t*& p) {
    long value = 0;
    while (IsDigit(*p)) {
        if (value < 100000) value = value * 10 + (*p - u'0');   // absurd widths stay bounded
        ++p;
    }
    return static_cast<int>(value);
}

void ReadLength(const char16_t*& p, Spec& spec) {
    if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') { spec.length = "ll"; p += 3; return; }
    if (p[0] == u'I' && p[1] == u'3' && p[2] == u'2') { p += 3; return; }
    if ((p[0] == u'h' && p[1] == u'h') || (p[0] == u'l' && p[1] == u'l')) {
        spec.length.assign(2, static_cast<char>(p[0]));
        p += 2;
        return;
    }
    if (*p == u'h' || *p == u'l' || *p == u'L' || *p == u'j' || *p == u'z' || *p == u't') {
        spec.length.assign(1, static_cast<char>(*p));
        ++p;
    }
}

// Parses the spec after '%'; leaves p on the conversion character (or the terminator).
Spec ReadSpec(const char16_t*& p, va_list& args) {
    Spec spec;
    while (IsFlag(*p)) spec.flags += static_cast<char>(*p++);
    if (*p == u'*') {
        ++p;
        spec.width = va_arg(args, int);
        if (spec.width < 0) {
            spec.flags += '-';
            spec.width = spec.width == INT32_MIN ? 0 : -spec.width;
        }
    } else if (IsDigit(*p)) {
        spec.width = ReadNumber(p);
    }
    if (*p == u'.') {
        ++p;
        if (*p == u'*') {
            ++p;
            spec.precision = va_arg(args, int);
            if (spec.precision < 0) spec.precision = -1;
        } else {
            spec.precision = ReadNumber(p);
        }
    }
    ReadLength(p, spec);
    spec.conversion = *p;
    return spec;
}

std::string NarrowSpec(const Spec& spec, const char* length) {
    std::string text = "%" + spec.flags;
    if (spec.width >= 0) text += std::to_string(spec.width);
    if (spec.precision >= 0) text += "." + std::to_string(spec.precision);
    text += length;
    text += static_cast<char>(spec.conversion);
    return text;
}

template <class T>
void AppendPrintf(std::u16string& out, const std::string& format, T value) {
    char small[128];
    const int n = std::snprintf(small, sizeof small, format.c_str(), value);
    if (n < 0) return;
    std::string text;
    if (static_cast<size_t>(n) < sizeof small) {
        text.assign(small, static_cast<size_t>(n));
    } else {
        text.resize(static_cast<size_t>(n) + 1);
        std::snprintf(text.data(), text.size(), format.c_str(), value);
        text.resize(static_cast<size_t>(n));
    }
    for (char c : text) out += static_cast<char16_t>(static_cast<unsigned char>(c));
}

void AppendSigned(std::u16string& out, const Spec& spec, va_list& args) {
    const std::string& len = spec.length;
    if (len == "ll") AppendPrintf(out, NarrowSpec(spec, "ll"), va_arg(args, long long));
    else if (len == "l") AppendPrintf(out, NarrowSpec(spec, "l"), va_arg(args, long));
    else if (len == "j") AppendPrintf(out, NarrowSpec(spec, "j"), va_arg(args, intmax_t));
    else if (len == "z" || len == "t") AppendPrintf(out, NarrowSpec(spec, "t"), va_arg(args, std::ptrdiff_t));
    else AppendPrintf(out, NarrowSpec(spec, len.c_str()), va_arg(args, int));
}

void AppendUnsigned(std::u16string& out, const Spec& spec, va_list& args) {
    const std::string& len = spec.length;
    if (len == "ll") AppendPrintf(out, NarrowSpec(spec, "ll"), va_arg(args, unsigned long long));
    else if (len == "l") AppendPrintf(out, NarrowSpec(spec, "l"), va_arg(args, unsigned long));
    else if (len == "j") AppendPrintf(out, NarrowSpec(spec, "j"), va_arg(args, uintmax_t));
    else if (len == "z" || len == "t") AppendPrintf(out, NarrowSpec(spec, "z"), va_arg(args, size_t));
    else AppendPrintf(out, NarrowSpec(spec, len.c_str()), va_arg(args, unsigned int));
}

void AppendFloating(std::u16string& out, const Spec& spec, va_list& args) {
    if (spec.length == "L") AppendPrintf(out, NarrowSpec(spec, "L"), va_arg(args, long double));
    else AppendPrintf(out, NarrowSpec(spec, ""), va_arg(args, double));
}

void AppendPadded(std::u16string& out, const Spec& spec, std::u16string_view text) {
    if (spec.precision >= 0 && text.size() > static_cast<size_t>(spec.precision)) {
        size_t cut = static_cast<size_t>(spec.precision);
        // Never leave half a surrogate pair at the cut.
        if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
        text = text.substr(0, cut);
    }
    const size_t pad = spec.width > 0 && text.size() < static_cast<size_t>(spec.width)
                           ? static_cast<size_t>(spec.width) - text.size() : 0;
    if (!spec.LeftAligned()) out.append(pad, u' ');
    out += text;
    if (spec.LeftAligned()) out.append(pad, u' ');
}

void AppendString(std::u16string& out, const Spec& spec, va_list& args, bool narrow) {
    if (narrow) {
        const char* text = va_arg(args, const char*);
        AppendPadded(out, spec, text ? CString::FromUtf8(text).str() : std::u16string(u"(null)"));
    } else {
        const char16_t* text = va_arg(args, const char16_t*);
        AppendPadded(out, spec, text ? std::u16string_view(text) : std::u16string_view(u"(null)"));
    }
}

void AppendChar(std::u16string& out, const Spec& spec, va_list& args, bool narrow) {
    const int value = va_arg(args, int);
    const char16_t ch = narrow ? static_cast<char16_t>(static_cast<unsigned char>(value))
                               : static_cast<char16_t>(value);
    Spec noPrecision = spec;
    noPrecision.precision = -1;
    AppendPadded(out, noPrecision, std::u16string_view(&ch, 1));
}

// Returns false for a conversion this formatter does not know.
bool AppendConversion(std::u16string& out, const Spec& spec, va_list& args) {
    switch (spec.conversion) {
    case u'd': case u'i': AppendSigned(out, spec, args); return true;
    case u'u': case u'o': case u'x': case u'X': AppendUnsigned(out, spec, args); return true;
    case u'f': case u'F': case u'e': case u'E': case u'g': case u'G': case u'a': case u'A':
        AppendFloating(out, spec, args);
        return true;
    case u'p': AppendPrintf(out, NarrowSpec(spec, ""), va_arg(args, void*)); return true;
    case u's': AppendString(out, spec, args, spec.length == "h"); return true;
    case u'S': AppendString(out, spec, args, spec.length != "l"); return true;
    case u'c': AppendChar(out, spec, args, spec.length == "h"); return true;
    case u'C': AppendChar(out, spec, args, spec.length != "l"); return true;
    case u'n': (void)va_arg(args, void*); return true;   // writing through it is an attack vector
    case u'%': out += u'%'; return true;
    default: return false;
    }
}

} // namespace

void CString::FormatV(const char16_t* format, va_list args) {
    std::u16string out;
    if (!format) {
        m_text.clear();
        return;
    }
    va_list work;
    va_copy(work, args);
    for (const char16_t* p = format; *p; ++p) {
        if (*p != u'%') {
            out += *p;
            continue;
        }
        const char16_t* start = p;
        ++p;
        const Spec spec = ReadSpec(p, work);
        if (!*p) {   // a spec cut off by the end of the format is copied as it stands
            out.append(start, p);
            break;
        }
        if (!AppendConversion(out, spec, work)) out.append(start, p + 1);
    }
    va_end(work);
    m_text = std::move(out);
}
