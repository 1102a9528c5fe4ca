#pragma once
// UTF-16 text with the operations of the class-library string the system was written against.
// Positions and lengths count UTF-16 code units. Out-of-range arguments are clamped, never UB.
#include <compare>
#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/PlatformExport.h"

class QUILLMAR_PLATFORM_EXPORT CString {
public:
    CString() = default;
    CString(const char16_t* text);   // null-terminated; nullptr gives empty
    CString(const char16_t* text, int length);
    CString(std::u16string text) : m_text(std::move(text)) {}
    CString(std::u16string_view text) : m_text(text) {}
    CString(char16_t ch, int repeat = 1);
    // ASCII / UTF-8 literals for convenience; decoded as UTF-8.
    CString(const char* utf8);
    CString(const std::string& utf8);

    // UTF-8 conversion. Invalid bytes become U+FFFD; no byte order mark is read or written.
    static CString FromUtf8(std::string_view utf8);
    std::string ToUtf8() const;

    const std::u16string& str() const { return m_text; }
    std::u16string& str() { return m_text; }
    const char16_t* GetString() const { return m_text.c_str(); }
    operator std::u16string_view() const { return m_text; }

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    char16_t GetAt(int index) const;      // 0 when out of range
    void SetAt(int index, char16_t ch);   // ignored when out of range
    char16_t operator[](int index) const { return GetAt(index); }

    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;

    // -1 when not found.
    int Find(char16_t ch, int start = 0) const;
    int Find(const CString& sub, int start = 0) const;
    int ReverseFind(char16_t ch) const;
    int FindOneOf(const CString& chars) const;

    int Replace(char16_t from, char16_t to);               // returns count replaced
    int Replace(const CString& from, const CString& to);   // empty `from` replaces nothing
    int Remove(char16_t ch);                               // returns count removed
    int Insert(int index, char16_t ch);                    // returns new length
    int Insert(int index, const CString& text);
    int Delete(int index, int count = 1);   // returns new length

    CString& MakeUpper();   // ASCII and Latin-1 letters
    CString& MakeLower();
    CString& Trim();   // whitespace: space, \t, \r, \n, \v, \f
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim(char16_t ch);
    CString& TrimLeft(char16_t ch);
    CString& TrimRight(char16_t ch);
    CString& TrimRight(const CString& chars);

    int Compare(const CString& other) const;         // <0, 0, >0 by code unit
    int CompareNoCase(const CString& other) const;   // ASCII and Latin-1 folding

    // printf-style: %s takes const char16_t*, %hs / %S take const char* UTF-8; %d %i %u %ld %lu
    // %lld %x %X %o %c %g %G %f %e %E %a %p %% with flags, widths and precisions ("%4.2f",
    // "%-10s", "%05d"). Numbers come out exactly as C printf writes them. A CString, std::u16string
    // or std::string argument is passed on as its character pointer, so `Format(u"%s", text)`
    // works with a CString. An unknown conversion is copied as it stands; %n writes nothing.
    template <class... Args>
    void Format(const char16_t* format, const Args&... args) {
        FormatList(format, PassArg(args)...);
    }
    template <class... Args>
    void Format(const char* format, const Args&... args) {   // format given in ASCII/UTF-8
        FormatList(CString(format).GetString(), PassArg(args)...);
    }
    template <class... Args>
    void Format(const CString& format, const Args&... args) {
        FormatList(format.GetString(), PassArg(args)...);
    }
    void FormatV(const char16_t* format, va_list args);
    template <class... Args>
    static CString Formatted(const char16_t* format, const Args&... args) {
        CString text;
        text.Format(format, args...);
        return text;
    }

    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(char16_t ch) {
        m_text += ch;
        return *this;
    }
    CString& operator+=(const char16_t* text);
    friend CString operator+(CString a, const CString& b) {
        a += b;
        return a;
    }
    friend CString operator+(CString a, char16_t b) {
        a += b;
        return a;
    }
    friend CString operator+(const char16_t* a, const CString& b) { return CString(a) + b; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char16_t* b) { return a.m_text == (b ? b : u""); }
    friend std::strong_ordering operator<=>(const CString& a, const CString& b) { return a.m_text <=> b.m_text; }

private:
    void FormatList(const char16_t* format, ...);
    static const char16_t* PassArg(const CString& s) { return s.GetString(); }
    static const char16_t* PassArg(const std::u16string& s) { return s.c_str(); }
    static const char* PassArg(const std::string& s) { return s.c_str(); }
    template <class T>
    static const T& PassArg(const T& value) {
        static_assert(std::is_scalar_v<T> || std::is_array_v<T>,
                      "Format takes numbers, pointers, CString and std strings only");
        return value;
    }

    std::u16string m_text;
};

template <>
struct std::hash<CString> {
    size_t operator()(const CString& s) const noexcept { return std::hash<std::u16string>{}(s.str()); }
};
