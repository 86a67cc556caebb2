#include "platform/object.h"

#include "platform/archive.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

// Every class registered under a name, oldest first. Only the oldest is found; the others
// wait in case it unloads. Created on first use, so that it exists before any library's static
// initialisation registers into it, and never destroyed, so that libraries unregistering at
// exit find it whatever the order of destruction.
struct ClassRegistry {
    std::mutex mutex;
    std::map<std::string, std::vector<const CRuntimeClass*>, std::less<>> byName;
};

ClassRegistry& Registry() {
    static ClassRegistry* registry = new ClassRegistry;
    return *registry;
}

} // namespace

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFFu,
                                             nullptr, nullptr};
static const kel::platform::ClassRegistration kelClassRegistrationCObject(&CObject::classCObject);

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}

void CObject::Serialize(CArchive&) {}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CObject::IsSerializable() const {
    return GetRuntimeClass()->m_wSchema != 0xFFFFu;
}

CObject* CRuntimeClass::CreateObject() const {
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    if (pBaseClass == nullptr)
        return FALSE;
    for (const CRuntimeClass* p = this; p != nullptr; p = p->m_pBaseClass) {
        if (p == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* lpszClassName) {
    if (lpszClassName == nullptr)
        return nullptr;
    ClassRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.byName.find(std::string_view(lpszClassName));
    return it == registry.byName.end() || it->second.empty() ? nullptr : it->second.front();
}

CObject* CRuntimeClass::CreateObject(const char* lpszClassName) {
    const CRuntimeClass* pClass = FromName(lpszClassName);
    return pClass ? pClass->CreateObject() : nullptr;
}

namespace kel::platform {

ClassRegistration::ClassRegistration(const CRuntimeClass* pClass) : m_pClass(pClass) {
    if (m_pClass == nullptr || m_pClass->m_lpszClassName == nullptr)
        return;
    ClassRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    registry.byName[m_pClass->m_lpszClassName].push_back(m_pClass);
}

ClassRegistration::~ClassRegistration() {
    if (m_pClass == nullptr || m_pClass->m_lpszClassName == nullptr)
        return;
    ClassRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.byName.find(std::string_view(m_pClass->m_lpszClassName));
    if (it == registry.byName.end())
        return;
    std::erase(it->second, m_pClass);
    if (it->second.empty())
        registry.byName.erase(it);
}

} // namespace kel::platform
