// One kind of the editor's commands as plain data (host/undo/ur_records.h), and the parts its
// record is made of. Each family lists the kinds of its commands beside them (in its own .cpp);
// ur_cmd_records.cpp writes and reads whole commands with them. A kind's name and the order of
// its fields are what stored journals hold: both stay as they are once released.
#pragma once

#include "edit/edit_find.h"
#include "undo/sbedit_ur_cmd.h"

#include "host/base/kel_guid.h"
#include "host/undo/ur_records.h"
#include "platform/cstring.h"
#include "platform/win_types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <typeinfo>
#include <vector>

class CObject;
class CKelSBEditorServices;

namespace kel::undo {

using kel::host::URRecordError;
using kel::host::URRecordReader;
using kel::host::URRecordWriter;

// One kind of command: its name in records, and how its own fields go out and come back.
struct Kind {
    std::string_view name;
    std::function<bool(const CKelURCmd&)> is;
    std::function<std::unique_ptr<CKelSBEditURBaseCmd>(unsigned id, CString text)> make;
    std::function<void(const CKelURCmd&, URRecordWriter&)> put;
    std::function<void(CKelURCmd&, URRecordReader&)> get;
};

// Every kind of every family (gathered in ur_cmd_records.cpp).
const std::vector<Kind>& AllKinds();

// The owner of every recovered command. Recovered commands have no editor of their own: like a
// command whose editor is gone, they work on the module's current one. Never a live editor.
CKelSBEditorServices* RecoveredOwner();

// The bytes of one object, as a snapshot holds it.
std::vector<BYTE> SerializedBytes(const CObject& object);
// The one object such bytes hold; throws URRecordError when they hold anything else.
std::unique_ptr<CObject> ReadOneObject(std::vector<BYTE> bytes);

template <typename T>
std::unique_ptr<T> ReadObject(std::vector<BYTE> bytes) {
    std::unique_ptr<CObject> object = ReadOneObject(std::move(bytes));
    if (!dynamic_cast<T*>(object.get()))
        throw URRecordError("a kept object is not of its kind");
    return std::unique_ptr<T>(static_cast<T*>(object.release()));
}

// A copy a command may or may not hold.
template <typename T>
void PutObject(URRecordWriter& out, const std::unique_ptr<T>& object) {
    out.U8(object ? 1 : 0);
    if (object)
        out.Bytes(SerializedBytes(*object));
}

template <typename T>
std::unique_ptr<T> GetObject(URRecordReader& in) {
    return in.U8() ? ReadObject<T>(in.Bytes()) : nullptr;
}

void PutGUID(URRecordWriter& out, const KelGUID& guid);
KelGUID GetGUID(URRecordReader& in);

void PutFocus(URRecordWriter& out, const kel::edit::Focus& focus);
kel::edit::Focus GetFocus(URRecordReader& in);

// Signed or unsigned numbers, each as 64 bits.
template <typename T>
void PutNumbers(URRecordWriter& out, const std::vector<T>& values) {
    out.U64(values.size());
    for (const T v : values)
        out.U64(static_cast<std::uint64_t>(static_cast<std::int64_t>(v)));
}

template <typename T>
std::vector<T> GetNumbers(URRecordReader& in) {
    std::vector<T> values(in.Count(8));
    for (T& v : values)
        v = static_cast<T>(static_cast<std::int64_t>(in.U64()));
    return values;
}

// The kind of command class T, with how its own fields go out and come back; recovered
// commands of it are made with RecoveredOwner().
template <typename T>
Kind MakeKind(std::string_view name, std::function<void(const T&, URRecordWriter&)> put,
              std::function<void(T&, URRecordReader&)> get) {
    return Kind{
        name, [](const CKelURCmd& cmd) { return typeid(cmd) == typeid(T); },
        [](unsigned id, CString text) -> std::unique_ptr<CKelSBEditURBaseCmd> {
            return std::make_unique<T>(RecoveredOwner(), id, std::move(text));
        },
        [put](const CKelURCmd& cmd, URRecordWriter& out) { put(static_cast<const T&>(cmd), out); },
        [get](CKelURCmd& cmd, URRecordReader& in) { get(static_cast<T&>(cmd), in); }};
}

} // namespace kel::undo
