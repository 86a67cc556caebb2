#include "host/undo/ur_manager.h"

#include <atomic>
#include <utility>

namespace {
std::atomic<std::uint64_t> g_nextSerial{0};
}

CKelURCmd::CKelURCmd(void* pOwner, unsigned int nId, CString strName)
    : m_pOwner(pOwner), m_nId(nId), m_strName(std::move(strName)), m_nSerial(++g_nextSerial) {}

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

std::size_t CKelURCmd::GetHeldBytes() const {
    return sizeof(*this) + static_cast<std::size_t>(m_strName.GetLength());
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

bool CKelURBase::RestoreSteps(std::vector<std::unique_ptr<CKelURCmd>> commands, int nDone) {
    if (m_bRunning || nDone < 0 || nDone > static_cast<int>(commands.size())) {
        return false;
    }
    ClearHistory();
    m_commands = std::move(commands);
    m_nDone = nDone;
    return true;
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

std::size_t CKelURBase::GetHeldBytes() const {
    std::size_t bytes = sizeof(*this) + m_commands.size() * sizeof(m_commands[0]);
    for (const auto& cmd : m_commands)
        bytes += cmd->GetHeldBytes();
    return bytes;
}
