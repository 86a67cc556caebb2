// Framework exceptions. They are thrown BY VALUE and caught by const reference
// (`catch (const CFileException& e)`); nothing is ever thrown with `new`.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

#include <exception>
#include <string>

class CException : public std::exception {
public:
    CException() = default;
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;
    ~CException() override = default;

    // A one-line, human-readable account of what went wrong.
    virtual CString GetErrorMessage() const;
    const char* what() const noexcept override;

private:
    mutable std::string m_what; // filled on first what(), so it outlives the call
};

class CMemoryException : public CException {
public:
    CString GetErrorMessage() const override;
};

// A caller passed an index, position or argument the callee cannot honour.
class CInvalidArgException : public CException {
public:
    CInvalidArgException() = default;
    explicit CInvalidArgException(CString strWhat) : m_strWhat(std::move(strWhat)) {}
    CString GetErrorMessage() const override;

    CString m_strWhat;
};

class CNotSupportedException : public CException {
public:
    CString GetErrorMessage() const override;
};

class CFileException : public CException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, CString strFileName = {})
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(std::move(strFileName)) {}
    CString GetErrorMessage() const override;

    // Maps an errno value to the nearest cause.
    static int OsErrorToException(int osError);

    int m_cause;
    LONG m_lOsError; // errno of the failed call, -1 when there was none
    CString m_strFileName;
};

class CArchiveException : public CException {
public:
    enum {
        none,
        genericException, // not an archive of ours, or damaged beyond a finer diagnosis
        readOnly,         // tried to store into a loading archive
        endOfFile,        // the data ends before the value being read
        writeOnly,        // tried to load from a storing archive
        badIndex,         // a class reference points nowhere
        badClass,         // unknown class, class without factory, or not of the expected kind
        badSchema         // written by a newer format or class version than this one reads
    };

    explicit CArchiveException(int cause = none, CString strFileName = {})
        : m_cause(cause), m_strFileName(std::move(strFileName)) {}
    CString GetErrorMessage() const override;

    int m_cause;
    CString m_strFileName;
};
