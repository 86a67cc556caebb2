// Private profile (.ini) files, with the Windows rules: section and key names match without
// regard to case, a missing file, section or key gives the default, and writing keeps every
// other line of the file as it was. Files are UTF-8 text, with or without a byte-order mark;
// lines may end in CR LF, LF or CR, mixed. Only regular files of at most kMaxProfileBytes are
// read: anything else reads as empty, and is never replaced by a write.
#pragma once

#include "platform/win_types.h"

#include <cstddef>

inline constexpr std::size_t kMaxProfileBytes = 1024 * 1024;

// Win32's per-thread error of the last failed call; the profile functions set it.
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_FILE_TOO_LARGE = 223;
inline constexpr DWORD ERROR_WRITE_FAULT = 29;
DWORD GetLastError();
void SetLastError(DWORD dwError);

// The value's leading number (decimal, or hexadecimal after "0x"; a sign is allowed, a
// negative value comes back as its two's complement), 0 if it does not start with one, or
// nDefault if the key is missing or its value empty.
UINT GetPrivateProfileInt(const char* lpAppName, const char* lpKeyName, int nDefault,
                          const char* lpFileName);

// Copies the value (or lpDefault) into lpReturnedString, cut to nSize - 1 bytes and always
// terminated; returns the number of bytes copied, without the terminator. Surrounding blanks
// and one pair of matching quotes are removed from the value. With lpAppName null: all section
// names; with lpKeyName null: all keys of the section; each name terminated, the list ended by
// an extra terminator.
DWORD GetPrivateProfileString(const char* lpAppName, const char* lpKeyName, const char* lpDefault,
                              char* lpReturnedString, DWORD nSize, const char* lpFileName);

// Sets the key (adding the section and the file as needed; the file's folder must exist).
// lpString null deletes the key, lpKeyName null deletes the whole section. The file is
// rewritten through a new file and a rename, so a failed write leaves the old file. FALSE on
// failure, with GetLastError saying why: a file that exists but cannot be read (no
// permission, not a regular file, too large) is refused rather than replaced by one key.
BOOL WritePrivateProfileString(const char* lpAppName, const char* lpKeyName, const char* lpString,
                               const char* lpFileName);
