#include "platform/profile.h"

#include "platform/safe_files.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// One lock for every profile file: reads and rewrites are short, and a reader must never see
// a half-written file from another thread of the same process.
std::mutex& ProfileMutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

thread_local DWORD t_lastError = ERROR_SUCCESS;

// The file as lines, without their line ends, and how it writes them back: its first line end
// and its byte-order mark.
struct ProfileText {
    std::vector<std::string> lines;
    std::string_view eol = "\r\n"; // one of three literals, never owned
    bool byteOrderMark = false;
    // Set when a file is there but cannot be read: it reads as empty and must not be written.
    DWORD readError = ERROR_SUCCESS;
};

ProfileText ReadProfile(const char* fileName) {
    ProfileText text;
    std::string content;
    switch (kel::platform::ReadRegularFile(fileName, kMaxProfileBytes, content)) {
    case kel::platform::ReadStatus::ok:
        break;
    case kel::platform::ReadStatus::missing:
        return text;
    case kel::platform::ReadStatus::tooLarge:
        text.readError = ERROR_FILE_TOO_LARGE;
        return text;
    default:
        text.readError = ERROR_ACCESS_DENIED;
        return text;
    }
    std::string_view rest = content;
    if (rest.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.byteOrderMark = true;
        rest.remove_prefix(kByteOrderMark.size());
    }
    bool eolKnown = false;
    while (!rest.empty()) {
        const std::size_t stop = rest.find_first_of("\r\n");
        text.lines.emplace_back(rest.substr(0, stop));
        if (stop == std::string_view::npos)
            break;
        const std::size_t eolLength = rest.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
        if (!eolKnown) {
            text.eol = eolLength == 2 ? "\r\n" : rest[stop] == '\r' ? "\r" : "\n";
            eolKnown = true;
        }
        rest.remove_prefix(stop + eolLength);
    }
    return text;
}

// The section's name if the line is a section header.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    const std::size_t close = line.find(']');
    return Trim(close == std::string_view::npos ? line : line.substr(0, close));
}

// Key and raw value of a "key=value" line; comments and other lines have none.
bool SplitKeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[')
        return false;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
    return true;
}

// [first, last) line indices of a section's body (after its header), or none.
struct SectionRange {
    std::size_t header;
    std::size_t first;
    std::size_t last;
};

std::optional<SectionRange> FindSection(const ProfileText& text, std::string_view section) {
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        auto name = SectionName(text.lines[i]);
        if (!name || !SameName(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < text.lines.size() && !SectionName(text.lines[end]))
            ++end;
        return SectionRange{i, i + 1, end};
    }
    return std::nullopt;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::optional<std::string> LookUp(const ProfileText& text, std::string_view section,
                                  std::string_view keyName) {
    auto range = FindSection(text, section);
    if (!range)
        return std::nullopt;
    for (std::size_t i = range->first; i < range->last; ++i) {
        std::string_view key, value;
        if (SplitKeyLine(text.lines[i], key, value) && SameName(key, keyName))
            return std::string(Unquote(value));
    }
    return std::nullopt;
}

// Copies a double-terminated list of names, cut as Windows cuts it when it does not fit.
DWORD CopyNameList(const std::vector<std::string>& names, char* out, DWORD nSize) {
    std::string list;
    for (const auto& name : names) {
        list += name;
        list += '\0';
    }
    if (nSize == 0)
        return 0;
    if (nSize == 1) {
        out[0] = '\0';
        return 0;
    }
    if (list.size() + 1 <= nSize) {
        std::memcpy(out, list.data(), list.size());
        out[list.size()] = '\0';
        if (list.empty()) {
            out[1] = '\0';
        }
        return static_cast<DWORD>(list.size());
    }
    std::memcpy(out, list.data(), nSize - 2);
    out[nSize - 2] = '\0';
    out[nSize - 1] = '\0';
    return nSize - 2;
}

bool HasLineBreak(const char* s) {
    return s && std::strpbrk(s, "\r\n") != nullptr;
}

bool WriteProfile(const char* fileName, const ProfileText& text) {
    std::string content(text.byteOrderMark ? kByteOrderMark : std::string_view());
    for (const auto& line : text.lines) {
        content += line;
        content += text.eol;
    }
    if (kel::platform::ReplaceFileContents(fileName, content) != kel::platform::ReplaceStatus::ok) {
        t_lastError = ERROR_WRITE_FAULT;
        return false;
    }
    return true;
}

} // namespace

DWORD GetLastError() {
    return t_lastError;
}

void SetLastError(DWORD dwError) {
    t_lastError = dwError;
}

DWORD GetPrivateProfileString(const char* lpAppName, const char* lpKeyName, const char* lpDefault,
                              char* lpReturnedString, DWORD nSize, const char* lpFileName) {
    if (lpReturnedString == nullptr || nSize == 0)
        return 0;
    ProfileText text;
    if (lpFileName != nullptr) {
        std::lock_guard lock(ProfileMutex());
        text = ReadProfile(lpFileName);
    }

    if (lpAppName == nullptr || lpKeyName == nullptr) {
        std::vector<std::string> names;
        if (lpAppName == nullptr) {
            for (const auto& line : text.lines) {
                if (auto name = SectionName(line))
                    names.emplace_back(*name);
            }
        } else if (auto range = FindSection(text, lpAppName)) {
            for (std::size_t i = range->first; i < range->last; ++i) {
                std::string_view key, value;
                if (SplitKeyLine(text.lines[i], key, value))
                    names.emplace_back(key);
            }
        }
        return CopyNameList(names, lpReturnedString, nSize);
    }

    std::string result;
    if (auto found = LookUp(text, lpAppName, lpKeyName))
        result = std::move(*found);
    else
        result = std::string(Trim(lpDefault ? lpDefault : ""));
    const std::size_t n = std::min<std::size_t>(result.size(), nSize - 1);
    std::memcpy(lpReturnedString, result.data(), n);
    lpReturnedString[n] = '\0';
    return static_cast<DWORD>(n);
}

UINT GetPrivateProfileInt(const char* lpAppName, const char* lpKeyName, int nDefault,
                          const char* lpFileName) {
    if (lpAppName == nullptr || lpKeyName == nullptr || lpFileName == nullptr)
        return static_cast<UINT>(nDefault);
    std::optional<std::string> value;
    {
        std::lock_guard lock(ProfileMutex());
        value = LookUp(ReadProfile(lpFileName), lpAppName, lpKeyName);
    }
    if (!value || value->empty())
        return static_cast<UINT>(nDefault);

    std::string_view s = *value;
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    UINT base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X') &&
        std::isxdigit(static_cast<unsigned char>(s[2]))) {
        base = 16;
        s.remove_prefix(2);
    }
    UINT result = 0; // wraps on overflow, as the 32-bit original does
    for (char c : s) {
        const auto uc = static_cast<unsigned char>(c);
        UINT digit;
        if (std::isdigit(uc))
            digit = static_cast<UINT>(c - '0');
        else if (base == 16 && std::isxdigit(uc))
            digit = static_cast<UINT>(std::tolower(uc) - 'a' + 10);
        else
            break;
        result = result * base + digit;
    }
    return negative ? 0u - result : result;
}

BOOL WritePrivateProfileString(const char* lpAppName, const char* lpKeyName, const char* lpString,
                               const char* lpFileName) {
    // A line break inside a name or value would split it into lines of its own and change
    // other keys or sections on the next read.
    if (lpAppName == nullptr || lpFileName == nullptr || *lpFileName == '\0' ||
        HasLineBreak(lpAppName) || HasLineBreak(lpKeyName) || HasLineBreak(lpString)) {
        t_lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }

    std::lock_guard lock(ProfileMutex());
    ProfileText text = ReadProfile(lpFileName);
    // Writing what could be read of it would lose everything else the file holds.
    if (text.readError != ERROR_SUCCESS) {
        t_lastError = text.readError;
        return FALSE;
    }
    auto range = FindSection(text, lpAppName);

    if (lpKeyName == nullptr) { // delete the section
        if (!range)
            return TRUE;
        text.lines.erase(text.lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                         text.lines.begin() + static_cast<std::ptrdiff_t>(range->last));
        return WriteProfile(lpFileName, text) ? TRUE : FALSE;
    }

    const std::string newLine = std::string(Trim(lpKeyName)) + "=" + (lpString ? lpString : "");
    if (!range) {
        if (lpString == nullptr)
            return TRUE; // nothing to delete
        if (!text.lines.empty() && !Trim(text.lines.back()).empty())
            text.lines.emplace_back();
        std::string header = "[";
        header.append(Trim(lpAppName)).push_back(']');
        text.lines.push_back(std::move(header));
        text.lines.push_back(newLine);
        return WriteProfile(lpFileName, text) ? TRUE : FALSE;
    }

    bool changed = false;
    std::size_t insertAt = range->first; // behind the section's last non-blank line
    for (std::size_t i = range->first; i < range->last;) {
        std::string_view key, value;
        if (SplitKeyLine(text.lines[i], key, value) && SameName(key, Trim(lpKeyName))) {
            if (lpString == nullptr || changed) { // delete, or drop a duplicate
                text.lines.erase(text.lines.begin() + static_cast<std::ptrdiff_t>(i));
                --range->last;
                changed = true;
                continue;
            }
            text.lines[i] = std::string(key) + "=" + lpString;
            changed = true;
        }
        if (!Trim(text.lines[i]).empty())
            insertAt = i + 1;
        ++i;
    }
    if (!changed) {
        if (lpString == nullptr)
            return TRUE;
        text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
    }
    return WriteProfile(lpFileName, text) ? TRUE : FALSE;
}
