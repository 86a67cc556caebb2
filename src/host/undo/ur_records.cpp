#include "host/undo/ur_records.h"

#include <cstring>
#include <string>
#include <utility>

namespace kel::host {

void URRecordWriter::U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        m_bytes.push_back(static_cast<BYTE>(v >> (8 * i)));
}

void URRecordWriter::U64(std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        m_bytes.push_back(static_cast<BYTE>(v >> (8 * i)));
}

void URRecordWriter::Bytes(const BYTE* data, std::size_t size) {
    U64(size);
    m_bytes.insert(m_bytes.end(), data, data + size);
}

void URRecordWriter::Text(const CString& text) {
    const std::string& s = text.str();
    Bytes(reinterpret_cast<const BYTE*>(s.data()), s.size());
}

void URRecordWriter::Ints(const std::vector<int>& values) {
    U64(values.size());
    for (const int v : values)
        I32(v);
}

void URRecordReader::Need(std::size_t n) const {
    if (n > m_size - m_at)
        throw URRecordError("the record ends early");
}

std::uint8_t URRecordReader::U8() {
    Need(1);
    return m_data[m_at++];
}

std::uint32_t URRecordReader::U32() {
    Need(4);
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(m_data[m_at++]) << (8 * i);
    return v;
}

std::uint64_t URRecordReader::U64() {
    Need(8);
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= static_cast<std::uint64_t>(m_data[m_at++]) << (8 * i);
    return v;
}

std::size_t URRecordReader::Count(std::size_t itemBytes) {
    const std::uint64_t n = U64();
    if (itemBytes > 0 && n > (m_size - m_at) / itemBytes)
        throw URRecordError("a count beyond the record");
    return static_cast<std::size_t>(n);
}

std::vector<BYTE> URRecordReader::Bytes() {
    const std::size_t n = Count(1);
    std::vector<BYTE> bytes(m_data + m_at, m_data + m_at + n);
    m_at += n;
    return bytes;
}

CString URRecordReader::Text() {
    const std::vector<BYTE> bytes = Bytes();
    return CString(std::string(bytes.begin(), bytes.end()));
}

std::vector<int> URRecordReader::Ints() {
    std::vector<int> values(Count(4));
    for (int& v : values)
        v = I32();
    return values;
}

namespace {
URCodec& Codec() {
    static URCodec codec;
    return codec;
}
} // namespace

void SetURCodec(URCodec codec) {
    Codec() = std::move(codec);
}

const URCodec& GetURCodec() {
    return Codec();
}

} // namespace kel::host
