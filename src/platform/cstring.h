// CString: the framework's text type, held as UTF-8. Positions and lengths count bytes.
#pragma once

#include <compare>
#include <cstddef>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char* s) : m_text(s ? s : "") {}
    CString(std::string s) : m_text(std::move(s)) {}
    CString(std::string_view s) : m_text(s) {}
    CString(char c, int count) : m_text(count > 0 ? static_cast<std::size_t>(count) : 0, c) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const char* GetString() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }
    char GetAt(int i) const { return m_text.at(static_cast<std::size_t>(i)); }
    char operator[](int i) const { return GetAt(i); }

    // printf-style formatting; replaces the contents.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // -1 when not found, as the framework reports it.
    int Find(char c, int start = 0) const;
    int Find(std::string_view s, int start = 0) const;
    int FindOneOf(std::string_view chars) const;
    int ReverseFind(char c) const;

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& MakeUpper();
    CString& MakeLower();
    int Replace(std::string_view from, std::string_view to);

    int Compare(std::string_view s) const { return m_text.compare(s) < 0 ? -1 : (m_text == s ? 0 : 1); }
    int CompareNoCase(std::string_view s) const;

    CString& operator+=(const CString& s) {
        m_text += s.m_text;
        return *this;
    }
    CString& operator+=(const char* s) {
        m_text += s ? s : "";
        return *this;
    }
    CString& operator+=(char c) {
        m_text += c;
        return *this;
    }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const char* b) { return a += b; }
    friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }

    bool operator==(const CString& o) const = default;
    std::strong_ordering operator<=>(const CString& o) const = default;
    bool operator==(const char* s) const { return m_text == (s ? s : ""); }

private:
    std::string m_text;
};

namespace kel::platform {

// The text with every byte that does not belong to a well-formed UTF-8 character (a stray
// continuation byte, a cut sequence, an overlong form, a surrogate, a value past U+10FFFF)
// replaced by U+FFFD. Valid text comes back unchanged.
std::string ToValidUtf8(std::string_view text);

} // namespace kel::platform
