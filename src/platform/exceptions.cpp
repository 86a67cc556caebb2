#include "platform/exceptions.h"

#include <cerrno>

CString CException::GetErrorMessage() const {
    return "An unknown error occurred.";
}

const char* CException::what() const noexcept {
    try {
        m_what = GetErrorMessage().str();
    } catch (...) {
        return "exception";
    }
    return m_what.c_str();
}

CString CMemoryException::GetErrorMessage() const {
    return "Out of memory.";
}

CString CInvalidArgException::GetErrorMessage() const {
    return m_strWhat.IsEmpty() ? CString("Invalid argument.") : "Invalid argument: " + m_strWhat;
}

CString CNotSupportedException::GetErrorMessage() const {
    return "Operation not supported.";
}

namespace {

const char* FileCauseText(int cause) {
    switch (cause) {
    case CFileException::none:
        return "no error";
    case CFileException::fileNotFound:
        return "file not found";
    case CFileException::badPath:
        return "bad path";
    case CFileException::tooManyOpenFiles:
        return "too many open files";
    case CFileException::accessDenied:
        return "access denied";
    case CFileException::invalidFile:
        return "invalid file";
    case CFileException::removeCurrentDir:
        return "cannot remove the current folder";
    case CFileException::directoryFull:
        return "folder full";
    case CFileException::badSeek:
        return "bad seek";
    case CFileException::hardIO:
        return "hardware input/output error";
    case CFileException::sharingViolation:
        return "sharing violation";
    case CFileException::lockViolation:
        return "lock violation";
    case CFileException::diskFull:
        return "disk full";
    case CFileException::endOfFile:
        return "end of file";
    default:
        return "file error";
    }
}

const char* ArchiveCauseText(int cause) {
    switch (cause) {
    case CArchiveException::none:
        return "no error";
    case CArchiveException::readOnly:
        return "archive is loading, cannot store";
    case CArchiveException::endOfFile:
        return "unexpected end of archive";
    case CArchiveException::writeOnly:
        return "archive is storing, cannot load";
    case CArchiveException::badIndex:
        return "bad class index";
    case CArchiveException::badClass:
        return "unknown or unexpected class";
    case CArchiveException::badSchema:
        return "unsupported format or class version";
    default:
        return "not a valid archive";
    }
}

CString WithFileName(const char* text, const CString& fileName) {
    CString message;
    if (fileName.IsEmpty())
        message.Format("%s.", text);
    else
        message.Format("%s: %s.", fileName.GetString(), text);
    return message;
}

} // namespace

CString CFileException::GetErrorMessage() const {
    return WithFileName(FileCauseText(m_cause), m_strFileName);
}

int CFileException::OsErrorToException(int osError) {
    switch (osError) {
    case 0:
        return none;
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
        return accessDenied;
    case EBUSY:
    case ETXTBSY:
        return sharingViolation;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return diskFull;
    case EIO:
        return hardIO;
    case EINVAL:
    case ESPIPE:
        return badSeek;
    default:
        return genericException;
    }
}

CString CArchiveException::GetErrorMessage() const {
    return WithFileName(ArchiveCauseText(m_cause), m_strFileName);
}
