// Undo commands as plain data, for the recovery of a history after a crash: a command is written
// as its kind, its fields and the bytes of the snapshots it refers to, never a pointer, and is
// rebuilt from them in another process. The editor module knows its commands and installs the
// codec that does both when it is loaded; the host's automatic saving calls it.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class CKelURCmd;

namespace kel::host {

// Little-endian numbers, length-prefixed texts and byte strings.
class URRecordWriter {
public:
    void U8(std::uint8_t v) { m_bytes.push_back(v); }
    void U32(std::uint32_t v);
    void U64(std::uint64_t v);
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void Bytes(const BYTE* data, std::size_t size);
    void Bytes(const std::vector<BYTE>& bytes) { Bytes(bytes.data(), bytes.size()); }
    void Text(const CString& text);
    void Ints(const std::vector<int>& values);
    std::vector<BYTE>& Data() { return m_bytes; }

private:
    std::vector<BYTE> m_bytes;
};

// Reads what a writer wrote; throws URRecordError on anything short or out of range.
class URRecordError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class URRecordReader {
public:
    URRecordReader(const BYTE* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint8_t U8();
    std::uint32_t U32();
    std::uint64_t U64();
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    std::vector<BYTE> Bytes();
    CString Text();
    std::vector<int> Ints();
    // A count of items each at least `itemBytes` long: refused when the rest cannot hold them.
    std::size_t Count(std::size_t itemBytes);
    bool AtEnd() const { return m_at == m_size; }

private:
    void Need(std::size_t n) const;
    const BYTE* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

struct URCodec {
    // Appends the command's record to `out`; false when the command cannot be written as data
    // (a kind the codec does not know, a snapshot that cannot be read).
    std::function<bool(const CKelURCmd& cmd, std::vector<BYTE>& out)> write;
    // Rebuilds a command from its record; null when the record cannot be read. The command
    // holds no pointer: it works on the editor's current view.
    std::function<std::unique_ptr<CKelURCmd>(const BYTE* data, std::size_t size)> read;
};

// The module installs its codec when it is loaded and removes it (an empty one) when unloaded.
void SetURCodec(URCodec codec);
// Null functions when no module has installed one.
const URCodec& GetURCodec();

} // namespace kel::host
