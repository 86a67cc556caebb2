// CArchive: typed, buffered binary storage of values and objects over a CFile.
//
// Format (ours, little-endian throughout): every stored archive starts with the four bytes
// "KELA" and a 32-bit format version, written before the first value and checked before the
// first value is read (not ours: genericException; a newer version: badSchema). Integers take
// their own width, bool one byte, float/double their IEEE bits, CString and counts a 32-bit
// length, then the bytes. An object pointer is a tag: null, or a new object whose class is
// given by name and schema on its first use in the archive and by index after that, followed
// by the object's own Serialize data.
//
// Loading is defensive: every read is checked against the data left and raises
// CArchiveException (endOfFile, badClass, badIndex, badSchema...) instead of reading past the
// end; a length larger than the data left is rejected before anything is allocated, and
// objects may nest only kMaxObjectDepth deep, so a damaged or crafted file cannot overflow the
// stack.
//
// Every pointer stored is written out in full: an object reached twice is loaded as two
// separate objects, so a file can never hand the same object to two owners. Keep back
// pointers and other shared references out of Serialize (store an index instead).
#pragma once

#include "platform/cstring.h"
#include "platform/exceptions.h"
#include "platform/file.h"
#include "platform/object.h"
#include "platform/win_types.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2 };

    static constexpr DWORD kFormatVersion = 1;
    static constexpr int kMaxObjectDepth = 200;

    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096);
    // Flushes a storing archive that was not closed, swallowing errors (unless
    // bNoFlushOnDelete): call Close() to see them.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return m_bLoading; }
    BOOL IsStoring() const { return !m_bLoading; }
    CFile* GetFile() const { return m_pFile; }

    // Storing: writes the buffer (and the header, if nothing was written yet) to the file.
    // Loading: moves the file back to just behind the last byte consumed.
    void Flush();
    // Flushes and detaches from the file; the file itself stays open.
    void Close();
    // Detaches without writing anything further; never throws.
    void Abort();

    // Raw bytes. Read returns the number of bytes it got, fewer only at the end of the data.
    void Write(const void* lpBuf, UINT nMax);
    UINT Read(void* lpBuf, UINT nMax);

    // Text lines: WriteString writes the text as it is (add "\n" yourself); ReadString reads up
    // to the next line feed, drops it and a carriage return before it, and returns FALSE when
    // no data was left.
    void WriteString(const char* lpsz);
    BOOL ReadString(CString& rString);

    void WriteCount(ULONGLONG dwCount);
    // Every counted element takes at least one byte, so a count above the bytes left is
    // rejected (endOfFile) before the caller allocates for it.
    ULONGLONG ReadCount();

    // Objects. ReadObject creates the stored object (the caller owns it), checks that it is of
    // pExpected's kind when that is given (badClass), and runs its Serialize; if that throws,
    // the half-read object is deleted.
    void WriteObject(const CObject* pObject);
    CObject* ReadObject(const CRuntimeClass* pExpected);
    // While an object is being loaded: the schema it was stored with. Otherwise (UINT)-1.
    UINT GetObjectSchema() const { return m_nObjectSchema; }

    // The number of bytes still to be read (loading only).
    ULONGLONG GetBytesLeft();

    CArchive& operator<<(BYTE v) { return WriteRaw(&v, 1); }
    CArchive& operator<<(char v) { return WriteRaw(&v, 1); }
    CArchive& operator<<(signed char v) { return WriteRaw(&v, 1); }
    CArchive& operator<<(WORD v) { return WriteLE(v); }
    CArchive& operator<<(short v) { return WriteLE(static_cast<WORD>(v)); }
    CArchive& operator<<(int v) { return WriteLE(static_cast<DWORD>(v)); }      // also LONG
    CArchive& operator<<(unsigned v) { return WriteLE(static_cast<DWORD>(v)); } // also DWORD
    CArchive& operator<<(long v) { return WriteLE(static_cast<std::uint64_t>(v)); }
    CArchive& operator<<(unsigned long v) { return WriteLE(static_cast<std::uint64_t>(v)); }
    CArchive& operator<<(long long v) { return WriteLE(static_cast<std::uint64_t>(v)); }
    CArchive& operator<<(unsigned long long v) { return WriteLE(static_cast<std::uint64_t>(v)); }
    CArchive& operator<<(bool v) { return *this << static_cast<BYTE>(v ? 1 : 0); }
    CArchive& operator<<(float v);
    CArchive& operator<<(double v);
    CArchive& operator<<(const CString& s);
    CArchive& operator<<(const char* s) { return *this << CString(s); }
    CArchive& operator<<(std::nullptr_t) {
        WriteObject(nullptr);
        return *this;
    }
    CArchive& operator<<(const CObject* pObject) {
        WriteObject(pObject);
        return *this;
    }

    CArchive& operator>>(BYTE& v) { return ReadRaw(&v, 1); }
    CArchive& operator>>(char& v) { return ReadRaw(&v, 1); }
    CArchive& operator>>(signed char& v) { return ReadRaw(&v, 1); }
    CArchive& operator>>(WORD& v) { return ReadLE(v); }
    CArchive& operator>>(short& v) { return ReadLE(v); }
    CArchive& operator>>(int& v) { return ReadLE(v); }
    CArchive& operator>>(unsigned& v) { return ReadLE(v); }
    CArchive& operator>>(long& v) { return ReadLE(v); }
    CArchive& operator>>(unsigned long& v) { return ReadLE(v); }
    CArchive& operator>>(long long& v) { return ReadLE(v); }
    CArchive& operator>>(unsigned long long& v) { return ReadLE(v); }
    CArchive& operator>>(bool& v);
    CArchive& operator>>(float& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(CString& s);
    CArchive& operator>>(CObject*& pObject) {
        pObject = ReadObject(nullptr);
        return *this;
    }

private:
    template <class U>
    CArchive& WriteLE(U v) {
        BYTE bytes[sizeof(U)];
        for (std::size_t i = 0; i < sizeof(U); ++i)
            bytes[i] = static_cast<BYTE>(static_cast<std::uint64_t>(v) >> (8 * i));
        return WriteRaw(bytes, sizeof(U));
    }
    template <class U>
    CArchive& ReadLE(U& v) {
        BYTE bytes[sizeof(U)];
        ReadRaw(bytes, sizeof(U));
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < sizeof(U); ++i)
            value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
        v = static_cast<U>(value);
        return *this;
    }
    // All-or-nothing: throws endOfFile if fewer than nCount bytes are left.
    CArchive& ReadRaw(void* lpBuf, std::size_t nCount);
    CArchive& WriteRaw(const void* lpBuf, std::size_t nCount);

    void RequireOpen() const;
    void RequireStoring() const;
    void RequireLoading() const;
    void WriteHeaderOnce();
    void ReadHeaderOnce();
    void Put(const void* lpBuf, std::size_t nCount);
    std::size_t Take(void* lpBuf, std::size_t nCount);
    std::size_t FillBuffer();
    void FlushBuffer();
    [[noreturn]] void Fail(int cause) const;
    const CRuntimeClass* ReadClass(UINT& rSchema);

    CFile* m_pFile;
    bool m_bLoading;
    bool m_bNoFlushOnDelete;
    bool m_bHeaderDone = false;
    std::vector<BYTE> m_buffer;
    std::size_t m_nBufPos = 0; // loading: next byte to hand out; storing: bytes pending
    std::size_t m_nBufEnd = 0; // loading: bytes valid in the buffer
    // Loading: what the file holds beyond what the buffer took from it, once asked (the file
    // is the archive's while it loads, so asking once saves two seeks per count read).
    ULONGLONG m_nFileLeft = 0;
    bool m_bFileLeftKnown = false;
    int m_nDepth = 0;
    UINT m_nObjectSchema = static_cast<UINT>(-1);
    // Classes seen in this archive, in order of first use; the index is what is stored.
    std::map<const CRuntimeClass*, DWORD> m_storedClasses;
    std::vector<std::pair<const CRuntimeClass*, UINT>> m_loadedClasses;
};
