// CString::FormatV: the conversion directives are parsed here, and every numeric conversion is
// handed to the C library's snprintf, so numbers read exactly as printf writes them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/CString.h"

namespace {

struct Directive {
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
        if (value < 100000)
            value = value * 10 + (*p - u'0');   // absurd widths stay bounded
        ++p;
    }
    return static_cast<int>(value);
}

void ReadLength(const char16_t*& p, Directive& directive) {
    if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
        directive.length = "ll";
        p += 3;
        return;
    }
    if (p[0] == u'I' && p[1] == u'3' && p[2] == u'2') {
        p += 3;
        return;
    }
    if ((p[0] == u'h' && p[1] == u'h') || (p[0] == u'l' && p[1] == u'l')) {
        directive.length.assign(2, static_cast<char>(p[0]));
        p += 2;
        return;
    }
    if (*p == u'h' || *p == u'l' || *p == u'L' || *p == u'j' || *p == u'z' || *p == u't') {
        directive.length.assign(1, static_cast<char>(*p));
        ++p;
    }
}

// Parses the directive after '%'; leaves p on the conversion character (or the terminator).
Directive ReadDirective(const char16_t*& p, va_list& args) {
    Directive directive;
    while (IsFlag(*p))
        directive.flags += static_cast<char>(*p++);
    if (*p == u'*') {
        ++p;
        directive.width = va_arg(args, int);
        if (directive.width < 0) {
            directive.flags += '-';
            directive.width = directive.width == INT32_MIN ? 0 : -directive.width;
        }
    } else if (IsDigit(*p)) {
        directive.width = ReadNumber(p);
    }
    if (*p == u'.') {
        ++p;
        if (*p == u'*') {
            ++p;
            directive.precision = va_arg(args, int);
            if (directive.precision < 0)
                directive.precision = -1;
        } else {
            directive.precision = ReadNumber(p);
        }
    }
    ReadLength(p, directive);
    directive.conversion = *p;
    return directive;
}

std::string NarrowDirective(const Directive& directive, const char* length) {
    std::string text = "%" + directive.flags;
    if (directive.width >= 0)
        text += std::to_string(directive.width);
    if (directive.precision >= 0)
        text += "." + std::to_string(directive.precision);
    text += length;
    text += static_cast<char>(directive.conversion);
    return text;
}

template <class T>
void AppendPrintf(std::u16string& out, const std::string& format, T value) {
    char small[128];
    const int n = std::snprintf(small, sizeof small, format.c_str(), value);
    if (n < 0)
        return;
    std::string text;
    if (static_cast<size_t>(n) < sizeof small) {
        text.assign(small, static_cast<size_t>(n));
    } else {
        text.resize(static_cast<size_t>(n) + 1);
        std::snprintf(text.data(), text.size(), format.c_str(), value);
        text.resize(static_cast<size_t>(n));
    }
    for (char c : text)
        out += static_cast<char16_t>(static_cast<unsigned char>(c));
}

void AppendSigned(std::u16string& out, const Directive& directive, va_list& args) {
    const std::string& len = directive.length;
    if (len == "ll")
        AppendPrintf(out, NarrowDirective(directive, "ll"), va_arg(args, long long));
    else if (len == "l")
        AppendPrintf(out, NarrowDirective(directive, "l"), va_arg(args, long));
    else if (len == "j")
        AppendPrintf(out, NarrowDirective(directive, "j"), va_arg(args, intmax_t));
    else if (len == "z" || len == "t")
        AppendPrintf(out, NarrowDirective(directive, "t"), va_arg(args, std::ptrdiff_t));
    else
        AppendPrintf(out, NarrowDirective(directive, len.c_str()), va_arg(args, int));
}

void AppendUnsigned(std::u16string& out, const Directive& directive, va_list& args) {
    const std::string& len = directive.length;
    if (len == "ll")
        AppendPrintf(out, NarrowDirective(directive, "ll"), va_arg(args, unsigned long long));
    else if (len == "l")
        AppendPrintf(out, NarrowDirective(directive, "l"), va_arg(args, unsigned long));
    else if (len == "j")
        AppendPrintf(out, NarrowDirective(directive, "j"), va_arg(args, uintmax_t));
    else if (len == "z" || len == "t")
        AppendPrintf(out, NarrowDirective(directive, "z"), va_arg(args, size_t));
    else
        AppendPrintf(out, NarrowDirective(directive, len.c_str()), va_arg(args, unsigned int));
}

void AppendFloating(std::u16string& out, const Directive& directive, va_list& args) {
    if (directive.length == "L")
        AppendPrintf(out, NarrowDirective(directive, "L"), va_arg(args, long double));
    else
        AppendPrintf(out, NarrowDirective(directive, ""), va_arg(args, double));
}

void AppendPadded(std::u16string& out, const Directive& directive, std::u16string_view text) {
    if (directive.precision >= 0 && text.size() > static_cast<size_t>(directive.precision)) {
        size_t cut = static_cast<size_t>(directive.precision);
        // Never leave half a surrogate pair at the cut.
        if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF)
            --cut;
        text = text.substr(0, cut);
    }
    const size_t pad = directive.width > 0 && text.size() < static_cast<size_t>(directive.width)
                           ? static_cast<size_t>(directive.width) - text.size()
                           : 0;
    if (!directive.LeftAligned())
        out.append(pad, u' ');
    out += text;
    if (directive.LeftAligned())
        out.append(pad, u' ');
}

void AppendString(std::u16string& out, const Directive& directive, va_list& args, bool narrow) {
    if (narrow) {
        const char* text = va_arg(args, const char*);
        AppendPadded(out, directive, text ? CString::FromUtf8(text).str() : std::u16string(u"(null)"));
    } else {
        const char16_t* text = va_arg(args, const char16_t*);
        AppendPadded(out, directive, text ? std::u16string_view(text) : std::u16string_view(u"(null)"));
    }
}

void AppendChar(std::u16string& out, const Directive& directive, va_list& args, bool narrow) {
    const int value = va_arg(args, int);
    const char16_t ch =
        narrow ? static_cast<char16_t>(static_cast<unsigned char>(value)) : static_cast<char16_t>(value);
    Directive plain = directive;
    plain.precision = -1;
    AppendPadded(out, plain, std::u16string_view(&ch, 1));
}

// Returns false for a conversion this formatter does not know.
bool AppendConversion(std::u16string& out, const Directive& directive, va_list& args) {
    switch (directive.conversion) {
    case u'd':
    case u'i': AppendSigned(out, directive, args); return true;
    case u'u':
    case u'o':
    case u'x':
    case u'X': AppendUnsigned(out, directive, args); return true;
    case u'f':
    case u'F':
    case u'e':
    case u'E':
    case u'g':
    case u'G':
    case u'a':
    case u'A': AppendFloating(out, directive, args); return true;
    case u'p': AppendPrintf(out, NarrowDirective(directive, ""), va_arg(args, void*)); return true;
    case u's': AppendString(out, directive, args, directive.length == "h"); return true;
    case u'S': AppendString(out, directive, args, directive.length != "l"); return true;
    case u'c': AppendChar(out, directive, args, directive.length == "h"); return true;
    case u'C': AppendChar(out, directive, args, directive.length != "l"); return true;
    case u'n': (void)va_arg(args, void*); return true;   // writing through it is an attack vector
    case u'%': out += u'%'; return true;
    default: return false;
    }
}

}   // namespace

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
        const Directive directive = ReadDirective(p, work);
        if (!*p) {   // a directive cut off by the end of the format is copied as it stands
            out.append(start, p);
            break;
        }
        if (!AppendConversion(out, directive, work))
            out.append(start, p + 1);
    }
    va_end(work);
    m_text = std::move(out);
}
