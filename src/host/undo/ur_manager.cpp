#include "host/undo/ur_manager.h"

#include "platform/safe_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

CKelURCmd::CKelURCmd(void* pOwner, unsigned int nId, CString strName)
    : m_pOwner(pOwner), m_nId(nId), m_strName(std::move(strName)) {}

CKelURCmd::~CKelURCmd() = default;

int CKelURCmd::Do() {
    return Redo(1);
}

int CKelURCmd::Undo() {
    return 1;
}

int CKelURCmd::Redo(int /*bFirst*/) {
    return 1;
}

int CKelURCmd::SerializeXML(CKelXMLDOMDocObj* /*pDoc*/, IXMLDOMNode* /*pNode*/) {
    return 0;
}

CKelURBase::CKelURBase() = default;

CKelURBase::~CKelURBase() {
    ClearHistory();
}

int CKelURBase::AddCommand(CKelURCmd* pCmd) {
    std::unique_ptr<CKelURCmd> owned(pCmd);
    if (!owned || m_bRunning) {
        return 0;
    }
    // Destroy the tail newest first, the reverse of the order in which the steps were made.
    while (static_cast<int>(m_commands.size()) > m_nDone) {
        m_commands.pop_back();
    }
    m_commands.push_back(std::move(owned));
    m_nDone = static_cast<int>(m_commands.size());
    return 1;
}

int CKelURBase::Undo(int nSteps) {
    if (m_bRunning) {
        return 0;
    }
    m_bRunning = true;
    int result = 1;
    for (int i = 0; i < nSteps && m_nDone > 0; ++i) {
        if (m_commands[static_cast<std::size_t>(m_nDone - 1)]->Undo() == 0) {
            result = 0;
            break;
        }
        --m_nDone;
    }
    m_bRunning = false;
    return result;
}

int CKelURBase::Redo(int nSteps) {
    if (m_bRunning) {
        return 0;
    }
    m_bRunning = true;
    int result = 1;
    for (int i = 0; i < nSteps && m_nDone < GetStepCount(); ++i) {
        if (m_commands[static_cast<std::size_t>(m_nDone)]->Redo(0) == 0) {
            result = 0;
            break;
        }
        ++m_nDone;
    }
    m_bRunning = false;
    return result;
}

void CKelURBase::ClearHistory() {
    if (m_bRunning) {
        return; // a running command would be destroyed under itself
    }
    while (!m_commands.empty()) {
        m_commands.pop_back();
    }
    m_nDone = 0;
}

CKelURCmd* CKelURBase::GetCommand(int nStep) const {
    if (nStep < 0 || nStep >= GetStepCount()) {
        return nullptr;
    }
    return m_commands[static_cast<std::size_t>(nStep)].get();
}

std::vector<CString> CKelURBase::GetStepNames() const {
    std::vector<CString> names;
    names.reserve(m_commands.size());
    for (const auto& cmd : m_commands) {
        names.push_back(cmd->GetName());
    }
    return names;
}

namespace {

// The snapshot folder of this process. A forked child that inherits it makes its own folder
// and never removes the parent's.
class SnapshotFolder {
public:
    ~SnapshotFolder() { RemoveOwnFolder(); }

    CString NewFileName() {
        std::lock_guard lock(m_mutex);
        if (m_ownerPid != getpid() || !IsPrivateFolder(m_path)) {
            if (!CreateFolder()) {
                return {};
            }
        }
        // O_EXCL refuses anything that already lies at the name, a planted link included.
        for (int attempt = 0; attempt < 1000; ++attempt) {
            std::string name = m_path + "/ur" + std::to_string(++m_counter) + ".tmp";
            int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
            if (fd >= 0) {
                close(fd);
                return CString(name);
            }
            if (errno != EEXIST) {
                return {};
            }
        }
        return {};
    }

    CString Path() {
        std::lock_guard lock(m_mutex);
        return m_ownerPid == getpid() ? CString(m_path) : CString();
    }

private:
    static std::string BaseFolder() {
        const char* tmp = std::getenv("TMPDIR");
        if (tmp != nullptr && tmp[0] == '/') {
            return tmp;
        }
        return "/tmp";
    }

    // Ours, a real directory (not a link), and closed to group and others.
    static bool IsPrivateFolder(const std::string& path) {
        if (path.empty()) {
            return false;
        }
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0) {
            return false;
        }
        return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
    }

    bool CreateFolder() {
        RemoveStaleFolders();
        std::string templ = BaseFolder() + "/kelur-" + std::to_string(geteuid()) + "-" +
                            std::to_string(getpid()) + "-XXXXXX";
        // mkdtemp makes a fresh directory with mode 0700 under an unpredictable name.
        if (mkdtemp(templ.data()) == nullptr || !IsPrivateFolder(templ)) {
            return false;
        }
        m_path = templ;
        m_ownerPid = getpid();
        m_counter = 0;
        return true;
    }

    // Removes the files we created and the folder itself.
    void RemoveOwnFolder() {
        std::lock_guard lock(m_mutex);
        if (m_ownerPid != getpid()) {
            return;
        }
        RemoveFolder(m_path);
        m_path.clear();
        m_ownerPid = -1;
    }

    // Removes a private folder of ours with what it holds; entries that are folders are left
    // alone, and then the folder stays too.
    static void RemoveFolder(const std::string& path) {
        if (!IsPrivateFolder(path)) {
            return;
        }
        if (DIR* dir = opendir(path.c_str())) {
            while (dirent* entry = readdir(dir)) {
                std::string name = entry->d_name;
                if (name == "." || name == "..") {
                    continue;
                }
                std::string full = path + "/" + name;
                struct stat st {};
                if (lstat(full.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
                    unlink(full.c_str());
                }
            }
            closedir(dir);
        }
        rmdir(path.c_str());
    }

    // Folders that processes of ours left when they were killed ("kelur-UID-PID-*" of a PID
    // that no longer runs); only private folders of ours are touched.
    static void RemoveStaleFolders() {
        const std::string base = BaseFolder();
        const std::string prefix = "kelur-" + std::to_string(geteuid()) + "-";
        DIR* dir = opendir(base.c_str());
        if (dir == nullptr) {
            return;
        }
        std::vector<std::string> stale;
        while (const dirent* entry = readdir(dir)) {
            const pid_t pid = kel::platform::ProcessIdInName(entry->d_name, prefix);
            if (pid > 0 && pid != getpid() && kel::platform::IsProcessGone(pid)) {
                stale.emplace_back(base + "/" + entry->d_name);
            }
        }
        closedir(dir);
        for (const std::string& path : stale) {
            RemoveFolder(path);
        }
    }

    std::mutex m_mutex;
    std::string m_path;
    pid_t m_ownerPid = -1;
    unsigned long m_counter = 0;
};

SnapshotFolder& TheSnapshotFolder() {
    static SnapshotFolder folder;
    return folder;
}

} // namespace

CString KelGetUniqueURFileName() {
    return TheSnapshotFolder().NewFileName();
}

namespace kel::host {
CString GetURSnapshotFolder() {
    return TheSnapshotFolder().Path();
}
} // namespace kel::host
