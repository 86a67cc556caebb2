#include "platform/cstring.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

std::string vformat(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0)
        return {};
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    return std::string(buffer.data(), static_cast<std::size_t>(needed));
}

int toIndex(std::size_t pos) { return pos == std::string::npos ? -1 : static_cast<int>(pos); }

std::size_t clampCount(const std::string& s, int first, int count) {
    if (first < 0 || count <= 0 || static_cast<std::size_t>(first) >= s.size())
        return 0;
    return std::min(static_cast<std::size_t>(count), s.size() - static_cast<std::size_t>(first));
}

bool isBlank(unsigned char c) { return std::isspace(c) != 0; }

} // namespace

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    m_text = vformat(format, args);
    va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    m_text += vformat(format, args);
    va_end(args);
}

int CString::Find(char c, int start) const {
    if (start < 0 || static_cast<std::size_t>(start) > m_text.size())
        return -1;
    return toIndex(m_text.find(c, static_cast<std::size_t>(start)));
}

int CString::Find(std::string_view s, int start) const {
    if (start < 0 || static_cast<std::size_t>(start) > m_text.size())
        return -1;
    return toIndex(m_text.find(s, static_cast<std::size_t>(start)));
}

int CString::FindOneOf(std::string_view chars) const {
    return toIndex(m_text.find_first_of(chars));
}

int CString::ReverseFind(char c) const { return toIndex(m_text.rfind(c)); }

CString CString::Left(int count) const {
    return CString(m_text.substr(0, clampCount(m_text, 0, count)));
}

CString CString::Right(int count) const {
    if (count <= 0)
        return {};
    const std::size_t n = std::min(static_cast<std::size_t>(count), m_text.size());
    return CString(m_text.substr(m_text.size() - n));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    first = std::max(first, 0);
    const std::size_t n = clampCount(m_text, first, count);
    return n ? CString(m_text.substr(static_cast<std::size_t>(first), n)) : CString();
}

CString& CString::TrimLeft() {
    auto it = std::find_if(m_text.begin(), m_text.end(),
                           [](char c) { return !isBlank(static_cast<unsigned char>(c)); });
    m_text.erase(m_text.begin(), it);
    return *this;
}

CString& CString::TrimRight() {
    while (!m_text.empty() && isBlank(static_cast<unsigned char>(m_text.back())))
        m_text.pop_back();
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::MakeUpper() {
    for (char& c : m_text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

CString& CString::MakeLower() {
    for (char& c : m_text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

int CString::Replace(std::string_view from, std::string_view to) {
    if (from.empty())
        return 0;
    int count = 0;
    std::size_t pos = 0;
    while ((pos = m_text.find(from, pos)) != std::string::npos) {
        m_text.replace(pos, from.size(), to);
        pos += to.size();
        ++count;
    }
    return count;
}

int CString::CompareNoCase(std::string_view s) const {
    CString a(*this), b{std::string(s)};
    return a.MakeLower().Compare(b.MakeLower().str());
}

namespace kel::platform {

namespace {

// Length of the well-formed character at the start of `text`, 0 when it is not one.
std::size_t Utf8CharLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;  // bounds of the second byte, which rule out overlong forms,
    unsigned char high = 0xBF; // surrogates and values past U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    return length;
}

} // namespace

std::string ToValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = Utf8CharLength(text);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            text.remove_prefix(1);
        } else {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return out;
}

} // namespace kel::platform
