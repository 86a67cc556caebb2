#include "platform/file.h"

#include "platform/file_faults.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CMemFile, CFile)

namespace {

// The open(2) flags and the stdio mode for the framework's flags. Opening for writing without
// modeCreate must find an existing file; with modeCreate | modeNoTruncate it creates one only
// when none is there.
struct OpenMode {
    int flags;
    const char* stdio;
};

OpenMode ModeFor(UINT nOpenFlags) {
    const bool create = (nOpenFlags & CFile::modeCreate) != 0;
    const bool truncate = create && (nOpenFlags & CFile::modeNoTruncate) == 0;
    const bool writes = (nOpenFlags & (CFile::modeWrite | CFile::modeReadWrite)) != 0;
    if (!writes)
        return {O_RDONLY, "rb"};
    if (truncate)
        return {O_RDWR | O_CREAT | O_TRUNC, "w+b"};
    return {O_RDWR | (create ? O_CREAT : 0), "r+b"};
}

} // namespace

CFile::CFile() = default;

CFile::CFile(const char* lpszFileName, UINT nOpenFlags) {
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        throw error;
}

CFile::~CFile() {
    if (m_pStream != nullptr)
        std::fclose(m_pStream);
}

BOOL CFile::Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError) {
    auto fail = [&](int cause, int osError) {
        if (pError != nullptr)
            *pError = CFileException(cause, osError, lpszFileName ? lpszFileName : "");
        return FALSE;
    };
    if (m_pStream != nullptr)
        return fail(CFileException::genericException, -1); // already open
    if (lpszFileName == nullptr || *lpszFileName == '\0')
        return fail(CFileException::badPath, -1);

    // Only regular files: a pipe or a device could block the open or every read, and never
    // end. O_NONBLOCK keeps the open itself from waiting; the check follows on the descriptor.
    const OpenMode mode = ModeFor(nOpenFlags);
    using kel::platform::FileOp;
    if (const int injected = kel::platform::InjectedFileFault(
            mode.flags == O_RDONLY ? FileOp::read : FileOp::create, lpszFileName))
        return fail(CFileException::OsErrorToException(injected), injected);
    const int fd = open(lpszFileName, mode.flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        const int osError = errno;
        return fail(CFileException::OsErrorToException(osError), osError);
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        close(fd);
        return folder ? fail(CFileException::accessDenied, EISDIR)
                      : fail(CFileException::invalidFile, -1);
    }
    std::FILE* stream = nullptr;
    if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0)
        stream = fdopen(fd, mode.stdio);
    if (stream == nullptr) {
        const int osError = errno;
        close(fd);
        return fail(CFileException::OsErrorToException(osError), osError);
    }
    m_pStream = stream;
    m_lastOp = LastOp::none;
    m_strFileName = lpszFileName;
    return TRUE;
}

void CFile::RequireOpen() const {
    if (m_pStream == nullptr)
        throw CFileException(CFileException::invalidFile, -1, m_strFileName);
}

void CFile::ThrowOsError(int cause, int osError) const {
    throw CFileException(osError ? CFileException::OsErrorToException(osError) : cause, osError,
                         m_strFileName);
}

// The C library requires a positioning call between a read and a following write (and the
// other way round) on one stream.
void CFile::SwitchTo(LastOp op) {
    if (m_lastOp != LastOp::none && m_lastOp != op)
        std::fseek(m_pStream, 0, SEEK_CUR);
    m_lastOp = op;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
    RequireOpen();
    if (nCount == 0)
        return 0;
    if (lpBuf == nullptr)
        throw CInvalidArgException("null read buffer");
    SwitchTo(LastOp::read);
    if (const int injected = kel::platform::InjectedFileFault(kel::platform::FileOp::read,
                                                              m_strFileName.GetString()))
        ThrowOsError(CFileException::hardIO, injected);
    errno = 0;
    const std::size_t got = std::fread(lpBuf, 1, nCount, m_pStream);
    if (got < nCount && std::ferror(m_pStream)) {
        const int osError = errno;
        std::clearerr(m_pStream);
        ThrowOsError(CFileException::hardIO, osError);
    }
    std::clearerr(m_pStream); // the end-of-file mark must not stick past a later seek or write
    return static_cast<UINT>(got);
}

void CFile::Write(const void* lpBuf, UINT nCount) {
    RequireOpen();
    if (nCount == 0)
        return;
    if (lpBuf == nullptr)
        throw CInvalidArgException("null write buffer");
    SwitchTo(LastOp::write);
    if (const int injected = kel::platform::InjectedFileFault(kel::platform::FileOp::write,
                                                              m_strFileName.GetString()))
        ThrowOsError(CFileException::diskFull, injected);
    errno = 0;
    if (std::fwrite(lpBuf, 1, nCount, m_pStream) != nCount) {
        const int osError = errno;
        std::clearerr(m_pStream);
        ThrowOsError(CFileException::diskFull, osError);
    }
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
    RequireOpen();
    int whence = SEEK_SET;
    if (nFrom == current)
        whence = SEEK_CUR;
    else if (nFrom == end)
        whence = SEEK_END;
    else if (nFrom != begin)
        throw CInvalidArgException("bad seek origin");
    LONGLONG base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<LONGLONG>(GetPosition());
    else if (whence == SEEK_END)
        base = static_cast<LONGLONG>(GetLength());
    if (lOff < 0 ? base + lOff < 0 : base > std::numeric_limits<long>::max() - lOff)
        throw CFileException(CFileException::badSeek, -1, m_strFileName);
    errno = 0;
    if (std::fseek(m_pStream, static_cast<long>(base + lOff), SEEK_SET) != 0)
        ThrowOsError(CFileException::badSeek, errno);
    m_lastOp = LastOp::none;
    return static_cast<ULONGLONG>(base + lOff);
}

ULONGLONG CFile::GetPosition() const {
    RequireOpen();
    const long pos = std::ftell(m_pStream);
    if (pos < 0)
        throw CFileException(CFileException::badSeek, errno, m_strFileName);
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetLength() const {
    RequireOpen();
    // Pending writes count: the length is asked of the stream, not of the disk.
    const long pos = std::ftell(m_pStream);
    if (pos < 0 || std::fseek(m_pStream, 0, SEEK_END) != 0)
        throw CFileException(CFileException::badSeek, errno, m_strFileName);
    const long length = std::ftell(m_pStream);
    std::fseek(m_pStream, pos, SEEK_SET);
    const_cast<CFile*>(this)->m_lastOp = LastOp::none;
    if (length < 0)
        throw CFileException(CFileException::badSeek, errno, m_strFileName);
    return static_cast<ULONGLONG>(length);
}

void CFile::SetLength(ULONGLONG dwNewLen) {
    RequireOpen();
    Flush();
    std::error_code ec;
    fs::resize_file(fs::path(m_strFileName.str()), dwNewLen, ec);
    if (ec)
        ThrowOsError(CFileException::genericException, ec.value());
    m_lastOp = LastOp::none;
    if (GetPosition() > dwNewLen)
        Seek(static_cast<LONGLONG>(dwNewLen), begin);
}

void CFile::Flush() {
    RequireOpen();
    errno = 0;
    if (std::fflush(m_pStream) != 0)
        ThrowOsError(CFileException::diskFull, errno);
    m_lastOp = LastOp::none;
}

void CFile::Close() {
    if (m_pStream == nullptr)
        return;
    std::FILE* stream = m_pStream;
    m_pStream = nullptr;
    errno = 0;
    // fclose writes what is still buffered: a failure here is lost data and must be reported.
    if (std::fclose(stream) != 0)
        ThrowOsError(CFileException::diskFull, errno);
}

void CFile::Abort() {
    if (m_pStream != nullptr)
        std::fclose(m_pStream);
    m_pStream = nullptr;
}

CString CFile::GetFileName() const {
    return CString(fs::path(m_strFileName.str()).filename().string());
}

void CFile::Remove(const char* lpszFileName) {
    if (lpszFileName == nullptr)
        throw CFileException(CFileException::badPath);
    std::error_code ec;
    const fs::path path(lpszFileName);
    const auto status = fs::symlink_status(path, ec);
    if (!fs::exists(status))
        throw CFileException(CFileException::fileNotFound, ENOENT, lpszFileName);
    if (fs::is_directory(status))
        throw CFileException(CFileException::accessDenied, EISDIR, lpszFileName);
    if (!fs::remove(path, ec) || ec)
        throw CFileException(CFileException::OsErrorToException(ec.value()), ec.value(),
                             lpszFileName);
}

void CFile::Rename(const char* lpszOldName, const char* lpszNewName) {
    if (lpszOldName == nullptr || lpszNewName == nullptr)
        throw CFileException(CFileException::badPath);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(fs::path(lpszOldName), ec)))
        throw CFileException(CFileException::fileNotFound, ENOENT, lpszOldName);
    if (fs::exists(fs::symlink_status(fs::path(lpszNewName), ec)))
        throw CFileException(CFileException::accessDenied, EEXIST, lpszNewName);
    if (const int injected =
            kel::platform::InjectedFileFault(kel::platform::FileOp::rename, lpszNewName))
        throw CFileException(CFileException::OsErrorToException(injected), injected, lpszOldName);
    fs::rename(fs::path(lpszOldName), fs::path(lpszNewName), ec);
    if (ec)
        throw CFileException(CFileException::OsErrorToException(ec.value()), ec.value(),
                             lpszOldName);
}

// ---- CMemFile

CMemFile::CMemFile(UINT nGrowBytes) {
    (void)nGrowBytes;
}

CMemFile::CMemFile(std::vector<BYTE> data) : m_data(std::move(data)) {}

void CMemFile::Attach(std::vector<BYTE> data) {
    m_data = std::move(data);
    m_nPosition = 0;
}

std::vector<BYTE> CMemFile::Detach() {
    std::vector<BYTE> data = std::move(m_data);
    m_data.clear();
    m_nPosition = 0;
    return data;
}

BOOL CMemFile::Open(const char*, UINT, CFileException*) {
    throw CNotSupportedException();
}

UINT CMemFile::Read(void* lpBuf, UINT nCount) {
    if (nCount == 0 || m_nPosition >= m_data.size())
        return 0;
    if (lpBuf == nullptr)
        throw CInvalidArgException("null read buffer");
    const std::size_t got = std::min<std::size_t>(nCount, m_data.size() - m_nPosition);
    std::memcpy(lpBuf, m_data.data() + m_nPosition, got);
    m_nPosition += got;
    return static_cast<UINT>(got);
}

void CMemFile::Write(const void* lpBuf, UINT nCount) {
    if (nCount == 0)
        return;
    if (lpBuf == nullptr)
        throw CInvalidArgException("null write buffer");
    const std::size_t endPos = m_nPosition + nCount;
    try {
        if (endPos > m_data.size())
            m_data.resize(endPos); // a gap left by seeking past the end reads as zeros
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    } catch (const std::length_error&) {
        throw CMemoryException();
    }
    std::memcpy(m_data.data() + m_nPosition, lpBuf, nCount);
    m_nPosition = endPos;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom) {
    LONGLONG base = 0;
    if (nFrom == current)
        base = static_cast<LONGLONG>(m_nPosition);
    else if (nFrom == end)
        base = static_cast<LONGLONG>(m_data.size());
    else if (nFrom != begin)
        throw CInvalidArgException("bad seek origin");
    if (lOff < 0 ? base + lOff < 0 : base > std::numeric_limits<LONGLONG>::max() - lOff)
        throw CFileException(CFileException::badSeek);
    m_nPosition = static_cast<std::size_t>(base + lOff);
    return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG dwNewLen) {
    try {
        m_data.resize(static_cast<std::size_t>(dwNewLen));
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    } catch (const std::length_error&) {
        throw CMemoryException();
    }
    m_nPosition = std::min<std::size_t>(m_nPosition, m_data.size());
}

void CMemFile::Close() {
    m_data.clear();
    m_data.shrink_to_fit();
    m_nPosition = 0;
}
