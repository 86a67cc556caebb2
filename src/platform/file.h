// Files: CFile over the C library's streams and CMemFile over a byte vector.
// Read returns how many bytes it got (fewer only at the end); every other failure throws
// CFileException. Writing or reading a file that is not open throws too.
#pragma once

#include "platform/cstring.h"
#include "platform/exceptions.h"
#include "platform/object.h"
#include "platform/win_types.h"

#include <cstdint>
#include <cstdio>
#include <vector>

using ULONGLONG = std::uint64_t;
using LONGLONG = std::int64_t;

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

    CFile();
    // Opens or throws CFileException.
    CFile(const char* lpszFileName, UINT nOpenFlags);
    ~CFile() override; // closes without reporting errors; call Close() to see them
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // FALSE on failure, with the cause in *pError when given. Share flags are accepted and
    // not enforced; text and binary mode are the same here.
    virtual BOOL Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    // A position before the start throws badSeek; past the end is allowed.
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual ULONGLONG GetPosition() const;
    virtual void Flush();
    virtual void Close();
    // Closes, ignoring every error.
    virtual void Abort();

    virtual CString GetFilePath() const { return m_strFileName; }
    CString GetFileName() const; // the name without its folder
    virtual BOOL IsOpen() const { return m_pStream != nullptr; }

    // Both throw CFileException. Rename refuses to replace an existing file.
    static void Remove(const char* lpszFileName);
    static void Rename(const char* lpszOldName, const char* lpszNewName);

protected:
    CString m_strFileName;

private:
    enum class LastOp { none, read, write };
    void RequireOpen() const;
    void SwitchTo(LastOp op);
    [[noreturn]] void ThrowOsError(int cause, int osError) const;

    std::FILE* m_pStream = nullptr;
    LastOp m_lastOp = LastOp::none;
};

// A file in memory that grows as it is written. Its bytes are handed in and out by value,
// so ownership is always plain.
class CMemFile : public CFile {
    DECLARE_DYNAMIC(CMemFile)
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    explicit CMemFile(std::vector<BYTE> data);
    ~CMemFile() override = default;

    // Replaces the contents; the position goes to the start.
    void Attach(std::vector<BYTE> data);
    // Takes the contents out, leaving the file empty.
    std::vector<BYTE> Detach();
    const std::vector<BYTE>& GetBuffer() const { return m_data; }

    BOOL Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetLength() const override { return m_data.size(); }
    void SetLength(ULONGLONG dwNewLen) override;
    ULONGLONG GetPosition() const override { return m_nPosition; }
    void Flush() override {}
    // Empties the file (memory files have nothing else to close).
    void Close() override;
    void Abort() override { Close(); }
    BOOL IsOpen() const override { return TRUE; }

private:
    std::vector<BYTE> m_data;
    std::size_t m_nPosition = 0;
};
