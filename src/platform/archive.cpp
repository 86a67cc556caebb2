#include "platform/archive.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace {

constexpr BYTE kMagic[4] = {'K', 'E', 'L', 'A'};

// Object tags.
constexpr BYTE kNullObject = 0;
constexpr BYTE kNewClassObject = 1;   // class name and schema follow, then the object
constexpr BYTE kKnownClassObject = 2; // class index follows, then the object

constexpr UINT kNotSerializable = 0xFFFFu;

UINT SchemaNumber(UINT schema) {
    return schema & ~VERSIONABLE_SCHEMA;
}

} // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize)
    : m_pFile(pFile), m_bLoading((nMode & load) != 0),
      m_bNoFlushOnDelete((nMode & bNoFlushOnDelete) != 0) {
    if (m_pFile == nullptr)
        throw CInvalidArgException("archive without a file");
    m_buffer.resize(static_cast<std::size_t>(std::max(nBufSize, 128)));
}

CArchive::~CArchive() {
    if (m_pFile == nullptr || m_bNoFlushOnDelete)
        return;
    try {
        Flush();
    } catch (...) {
        // A destructor cannot report; Close() is the call that does.
    }
}

void CArchive::Fail(int cause) const {
    throw CArchiveException(cause, m_pFile ? m_pFile->GetFilePath() : CString());
}

void CArchive::RequireOpen() const {
    if (m_pFile == nullptr)
        throw CArchiveException(CArchiveException::genericException);
}

void CArchive::RequireStoring() const {
    RequireOpen();
    if (m_bLoading)
        Fail(CArchiveException::readOnly);
}

void CArchive::RequireLoading() const {
    RequireOpen();
    if (!m_bLoading)
        Fail(CArchiveException::writeOnly);
}

// ---- storing

void CArchive::Put(const void* lpBuf, std::size_t nCount) {
    const BYTE* bytes = static_cast<const BYTE*>(lpBuf);
    while (nCount > 0) {
        if (m_nBufPos == m_buffer.size())
            FlushBuffer();
        const std::size_t chunk = std::min(nCount, m_buffer.size() - m_nBufPos);
        std::memcpy(m_buffer.data() + m_nBufPos, bytes, chunk);
        m_nBufPos += chunk;
        bytes += chunk;
        nCount -= chunk;
    }
}

void CArchive::FlushBuffer() {
    if (m_nBufPos == 0)
        return;
    const std::size_t pending = m_nBufPos;
    m_nBufPos = 0; // a failed write must not be retried with the same bytes later
    m_pFile->Write(m_buffer.data(), static_cast<UINT>(pending));
}

void CArchive::WriteHeaderOnce() {
    if (m_bHeaderDone)
        return;
    m_bHeaderDone = true;
    Put(kMagic, sizeof kMagic);
    WriteLE(kFormatVersion);
}

CArchive& CArchive::WriteRaw(const void* lpBuf, std::size_t nCount) {
    RequireStoring();
    WriteHeaderOnce();
    Put(lpBuf, nCount);
    return *this;
}

void CArchive::Write(const void* lpBuf, UINT nMax) {
    if (nMax > 0 && lpBuf == nullptr)
        throw CInvalidArgException("null archive buffer");
    WriteRaw(lpBuf, nMax);
}

void CArchive::WriteString(const char* lpsz) {
    if (lpsz != nullptr)
        WriteRaw(lpsz, std::strlen(lpsz));
}

void CArchive::WriteCount(ULONGLONG dwCount) {
    if (dwCount > 0xFFFFFFFFu)
        Fail(CArchiveException::genericException);
    *this << static_cast<DWORD>(dwCount);
}

CArchive& CArchive::operator<<(float v) {
    return WriteLE(std::bit_cast<std::uint32_t>(v));
}

CArchive& CArchive::operator<<(double v) {
    return WriteLE(std::bit_cast<std::uint64_t>(v));
}

CArchive& CArchive::operator<<(const CString& s) {
    WriteCount(static_cast<ULONGLONG>(s.GetLength()));
    return WriteRaw(s.GetString(), static_cast<std::size_t>(s.GetLength()));
}

void CArchive::WriteObject(const CObject* pObject) {
    RequireStoring();
    if (pObject == nullptr) {
        *this << kNullObject;
        return;
    }
    const CRuntimeClass* pClass = pObject->GetRuntimeClass();
    // Refuse now what could never be loaded again, rather than write a file that fails later.
    if (pClass->m_wSchema == kNotSerializable || pClass->m_pfnCreateObject == nullptr)
        Fail(CArchiveException::badClass);
    // Deeper than any real document: most likely an object that contains itself.
    if (m_nDepth >= kMaxObjectDepth)
        Fail(CArchiveException::genericException);

    auto known = m_storedClasses.find(pClass);
    if (known != m_storedClasses.end()) {
        *this << kKnownClassObject << known->second;
    } else {
        const auto index = static_cast<DWORD>(m_storedClasses.size());
        *this << kNewClassObject << CString(pClass->m_lpszClassName)
              << static_cast<DWORD>(SchemaNumber(pClass->m_wSchema));
        m_storedClasses.emplace(pClass, index);
    }
    ++m_nDepth;
    try {
        const_cast<CObject*>(pObject)->Serialize(*this); // storing leaves the object unchanged
    } catch (...) {
        --m_nDepth;
        throw;
    }
    --m_nDepth;
}

// ---- loading

std::size_t CArchive::FillBuffer() {
    m_nBufPos = 0;
    m_nBufEnd = 0;
    m_nBufEnd = m_pFile->Read(m_buffer.data(), static_cast<UINT>(m_buffer.size()));
    m_nFileLeft -= std::min<ULONGLONG>(m_nFileLeft, m_nBufEnd);
    return m_nBufEnd;
}

std::size_t CArchive::Take(void* lpBuf, std::size_t nCount) {
    BYTE* bytes = static_cast<BYTE*>(lpBuf);
    std::size_t got = 0;
    while (got < nCount) {
        if (m_nBufPos == m_nBufEnd && FillBuffer() == 0)
            break;
        const std::size_t chunk = std::min(nCount - got, m_nBufEnd - m_nBufPos);
        std::memcpy(bytes + got, m_buffer.data() + m_nBufPos, chunk);
        m_nBufPos += chunk;
        got += chunk;
    }
    return got;
}

void CArchive::ReadHeaderOnce() {
    if (m_bHeaderDone)
        return;
    m_bHeaderDone = true;
    BYTE header[8];
    if (Take(header, sizeof header) != sizeof header)
        Fail(CArchiveException::endOfFile);
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0)
        Fail(CArchiveException::genericException);
    DWORD version = 0;
    for (int i = 0; i < 4; ++i)
        version |= static_cast<DWORD>(header[4 + i]) << (8 * i);
    if (version == 0)
        Fail(CArchiveException::genericException);
    if (version > kFormatVersion)
        Fail(CArchiveException::badSchema);
}

CArchive& CArchive::ReadRaw(void* lpBuf, std::size_t nCount) {
    RequireLoading();
    ReadHeaderOnce();
    if (Take(lpBuf, nCount) != nCount)
        Fail(CArchiveException::endOfFile);
    return *this;
}

UINT CArchive::Read(void* lpBuf, UINT nMax) {
    RequireLoading();
    ReadHeaderOnce();
    if (nMax > 0 && lpBuf == nullptr)
        throw CInvalidArgException("null archive buffer");
    return static_cast<UINT>(Take(lpBuf, nMax));
}

BOOL CArchive::ReadString(CString& rString) {
    RequireLoading();
    ReadHeaderOnce();
    std::string line;
    bool any = false;
    while (m_nBufPos < m_nBufEnd || FillBuffer() > 0) {
        any = true;
        const char c = static_cast<char>(m_buffer[m_nBufPos++]);
        if (c == '\n')
            break;
        line += c;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    rString = CString(std::move(line));
    return any ? TRUE : FALSE;
}

ULONGLONG CArchive::GetBytesLeft() {
    RequireLoading();
    ReadHeaderOnce();
    if (!m_bFileLeftKnown) {
        const ULONGLONG length = m_pFile->GetLength();
        const ULONGLONG position = m_pFile->GetPosition();
        m_nFileLeft = length > position ? length - position : 0;
        m_bFileLeftKnown = true;
    }
    return m_nFileLeft + (m_nBufEnd - m_nBufPos);
}

ULONGLONG CArchive::ReadCount() {
    DWORD count = 0;
    *this >> count;
    if (count > GetBytesLeft())
        Fail(CArchiveException::endOfFile);
    return count;
}

CArchive& CArchive::operator>>(bool& v) {
    BYTE b = 0;
    ReadRaw(&b, 1);
    v = b != 0;
    return *this;
}

CArchive& CArchive::operator>>(float& v) {
    std::uint32_t bits = 0;
    ReadLE(bits);
    v = std::bit_cast<float>(bits);
    return *this;
}

CArchive& CArchive::operator>>(double& v) {
    std::uint64_t bits = 0;
    ReadLE(bits);
    v = std::bit_cast<double>(bits);
    return *this;
}

CArchive& CArchive::operator>>(CString& s) {
    // ReadCount has checked the length against the data left: the allocation is bounded by
    // the file's real size, whatever the length field says.
    const auto length = static_cast<std::size_t>(ReadCount());
    std::string text(length, '\0');
    ReadRaw(text.data(), length);
    s = CString(std::move(text));
    return *this;
}

const CRuntimeClass* CArchive::ReadClass(UINT& rSchema) {
    BYTE tag = 0;
    *this >> tag;
    if (tag == kNewClassObject) {
        CString name;
        DWORD schema = 0;
        *this >> name >> schema;
        const CRuntimeClass* pClass = CRuntimeClass::FromName(name.GetString());
        if (pClass == nullptr)
            Fail(CArchiveException::badClass);
        m_loadedClasses.emplace_back(pClass, schema);
        rSchema = schema;
        return pClass;
    }
    if (tag == kKnownClassObject) {
        DWORD index = 0;
        *this >> index;
        if (index >= m_loadedClasses.size())
            Fail(CArchiveException::badIndex);
        rSchema = m_loadedClasses[index].second;
        return m_loadedClasses[index].first;
    }
    if (tag != kNullObject)
        Fail(CArchiveException::genericException);
    return nullptr;
}

CObject* CArchive::ReadObject(const CRuntimeClass* pExpected) {
    RequireLoading();
    if (m_nDepth >= kMaxObjectDepth)
        Fail(CArchiveException::genericException);
    UINT schema = 0;
    const CRuntimeClass* pClass = ReadClass(schema);
    if (pClass == nullptr)
        return nullptr;
    if (pClass->m_wSchema == kNotSerializable || pClass->m_pfnCreateObject == nullptr)
        Fail(CArchiveException::badClass);
    if (pExpected != nullptr && !pClass->IsDerivedFrom(pExpected))
        Fail(CArchiveException::badClass);
    if (schema > SchemaNumber(pClass->m_wSchema))
        Fail(CArchiveException::badSchema);

    CObject* pObject = nullptr;
    try {
        pObject = pClass->CreateObject();
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    }
    if (pObject == nullptr)
        Fail(CArchiveException::badClass);

    const UINT outerSchema = m_nObjectSchema;
    m_nObjectSchema = schema;
    ++m_nDepth;
    try {
        pObject->Serialize(*this);
    } catch (...) {
        --m_nDepth;
        m_nObjectSchema = outerSchema;
        delete pObject;
        throw;
    }
    --m_nDepth;
    m_nObjectSchema = outerSchema;
    return pObject;
}

// ---- both

void CArchive::Flush() {
    RequireOpen();
    if (m_bLoading) {
        // Give back what was read ahead, so that the file stands right behind our data.
        const std::size_t unread = m_nBufEnd - m_nBufPos;
        m_nBufPos = m_nBufEnd = 0;
        m_bFileLeftKnown = false;
        if (unread > 0)
            m_pFile->Seek(-static_cast<LONGLONG>(unread), CFile::current);
        return;
    }
    WriteHeaderOnce();
    FlushBuffer();
}

void CArchive::Close() {
    if (m_pFile == nullptr)
        return;
    // Detached even when the flush fails, so that the destructor does not try it again.
    struct Detach {
        CFile*& file;
        ~Detach() { file = nullptr; }
    } detach{m_pFile};
    Flush();
}

void CArchive::Abort() {
    m_pFile = nullptr;
    m_nBufPos = m_nBufEnd = 0;
}
