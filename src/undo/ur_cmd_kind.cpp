#include "undo/ur_cmd_kind.h"

#include "host/base/kel_object.h"
#include "platform/archive.h"
#include "platform/file.h"

namespace kel::undo {

namespace {
// Its address only is used, and it is never an editor's.
alignas(64) char g_recoveredOwner;
} // namespace

CKelSBEditorServices* RecoveredOwner() {
    return reinterpret_cast<CKelSBEditorServices*>(&g_recoveredOwner);
}

std::vector<BYTE> SerializedBytes(const CObject& object) {
    CMemFile file;
    CKelObList list;
    list.AddTail(const_cast<CObject*>(&object)); // written, never changed
    try {
        CArchive ar(&file, CArchive::store, 4096);
        list.Serialize(ar);
        ar.Close();
    } catch (...) {
        list.RemoveAll();
        throw;
    }
    list.RemoveAll();
    return file.GetBuffer();
}

std::unique_ptr<CObject> ReadOneObject(std::vector<BYTE> bytes) {
    CMemFile file(std::move(bytes));
    CArchive ar(&file, CArchive::load, 4096);
    CKelObList list; // deletes what it read unless taken out
    list.Serialize(ar);
    ar.Close();
    if (list.GetCount() != 1)
        throw URRecordError("a kept object is not of its kind");
    return std::unique_ptr<CObject>(list.RemoveHead());
}

void PutGUID(URRecordWriter& out, const KelGUID& guid) {
    for (const BYTE b : guid.bytes)
        out.U8(b);
}

KelGUID GetGUID(URRecordReader& in) {
    KelGUID guid;
    for (BYTE& b : guid.bytes)
        b = in.U8();
    return guid;
}

void PutFocus(URRecordWriter& out, const kel::edit::Focus& focus) {
    out.I32(focus.nContainer);
    out.I32(focus.nContent);
}

kel::edit::Focus GetFocus(URRecordReader& in) {
    kel::edit::Focus focus;
    focus.nContainer = in.I32();
    focus.nContent = in.I32();
    return focus;
}

} // namespace kel::undo
