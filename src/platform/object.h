// Run-time classes and the root of serialisable objects.
//
// Every class declared with DECLARE_DYNAMIC/DECLARE_DYNCREATE/DECLARE_SERIAL and implemented
// with the matching IMPLEMENT_ macro is entered, during static initialisation of the library
// that defines it, into one process-wide registry kept by this library; an archive finds the
// class of a stored object there by name. A class is removed again when its library unloads.
// Names must be unique in the process: if two libraries register the same name, the one
// registered first is found and the other is ignored (no crash) until the first unloads.
#pragma once

#include "platform/win_types.h"

class CArchive;
class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                    // 0xFFFF when the class cannot be serialised
    CObject* (*m_pfnCreateObject)();   // null when the class cannot be created by name
    const CRuntimeClass* m_pBaseClass; // null only for CObject

    // A new object of this class, or null if the class has no factory.
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // Registry look-ups: null when no class of that name is loaded.
    static const CRuntimeClass* FromName(const char* lpszClassName);
    static CObject* CreateObject(const char* lpszClassName);
};

// Set in a schema number to say "older schemas are readable too". Our archives always accept
// older schemas (the object asks CArchive::GetObjectSchema), so the flag is only masked off.
inline constexpr UINT VERSIONABLE_SCHEMA = 0x80000000u;

class CObject {
public:
    virtual ~CObject() = default;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    // Stores or loads the object's own data; the base has none.
    virtual void Serialize(CArchive& ar);

    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const;

    static const CRuntimeClass classCObject;
    static const CRuntimeClass& GetThisClass() { return classCObject; }

protected:
    CObject() = default;
    // Copying is left to derived classes that want it (model objects copy themselves).
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

namespace kel::platform {

// Keeps one class in the registry for the lifetime of the library that defines it.
class ClassRegistration {
public:
    explicit ClassRegistration(const CRuntimeClass* pClass);
    ~ClassRegistration();
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;

private:
    const CRuntimeClass* m_pClass;
};

template <class T>
T* DowncastTo(CObject* pObject) {
    return pObject && pObject->IsKindOf(&T::GetThisClass()) ? static_cast<T*>(pObject) : nullptr;
}
template <class T>
const T* DowncastTo(const CObject* pObject) {
    return pObject && pObject->IsKindOf(&T::GetThisClass()) ? static_cast<const T*>(pObject)
                                                            : nullptr;
}

} // namespace kel::platform

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

// Null unless the object is of that class or derived from it.
#define DYNAMIC_DOWNCAST(class_name, object) ::kel::platform::DowncastTo<class_name>(object)

#define DECLARE_DYNAMIC(class_name)                                                                \
public:                                                                                            \
    static const CRuntimeClass class##class_name;                                                  \
    static const CRuntimeClass& GetThisClass() {                                                   \
        return class##class_name;                                                                  \
    }                                                                                              \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                                              \
    DECLARE_DYNAMIC(class_name)                                                                    \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name)                                                                 \
    DECLARE_DYNCREATE(class_name)                                                                  \
    friend CArchive& operator>>(CArchive& ar, class_name*& pObject);

#define KEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, factory)                   \
    const CRuntimeClass class_name::class##class_name = {                                          \
        #class_name, static_cast<int>(sizeof(class_name)), (schema), (factory),                    \
        RUNTIME_CLASS(base_class_name)};                                                           \
    const CRuntimeClass* class_name::GetRuntimeClass() const {                                     \
        return RUNTIME_CLASS(class_name);                                                          \
    }                                                                                              \
    static const ::kel::platform::ClassRegistration kelClassRegistration##class_name(              \
        RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
    KEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFFu, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                           \
    CObject* class_name::CreateObject() {                                                          \
        return new class_name;                                                                     \
    }                                                                                              \
    KEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFFu, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)                                      \
    CObject* class_name::CreateObject() {                                                          \
        return new class_name;                                                                     \
    }                                                                                              \
    KEL_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, (schema), class_name::CreateObject)    \
    [[maybe_unused]] CArchive& operator>>(CArchive& ar, class_name*& pObject) {                    \
        pObject = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));              \
        return ar;                                                                                 \
    }
