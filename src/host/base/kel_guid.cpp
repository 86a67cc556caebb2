#include "host/base/kel_guid.h"

#include "platform/archive.h"

#include <cctype>
#include <random>

namespace {

std::uint64_t RandomWord() {
    // One generator per thread, seeded from the system's random source.
    thread_local std::mt19937_64 engine{[] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }()};
    return engine();
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

KelGUID KelGUID::New() {
    KelGUID guid;
    for (int half = 0; half < 2; ++half) {
        const std::uint64_t word = RandomWord();
        for (int i = 0; i < 8; ++i)
            guid.bytes[static_cast<std::size_t>(half * 8 + i)] = static_cast<BYTE>(word >> (8 * i));
    }
    guid.bytes[6] = static_cast<BYTE>((guid.bytes[6] & 0x0F) | 0x40); // version 4
    guid.bytes[8] = static_cast<BYTE>((guid.bytes[8] & 0x3F) | 0x80); // variant 1
    return guid;
}

KelGUID KelGUID::Tagged(const char* tag, unsigned n) {
    KelGUID guid;
    for (std::size_t i = 0; i < 12 && tag[i] != '\0'; ++i)
        guid.bytes[i] = static_cast<BYTE>(tag[i]);
    guid.bytes[12] = static_cast<BYTE>(n >> 24);
    guid.bytes[13] = static_cast<BYTE>(n >> 16);
    guid.bytes[14] = static_cast<BYTE>(n >> 8);
    guid.bytes[15] = static_cast<BYTE>(n);
    return guid;
}

BOOL KelGUID::IsNull() const {
    for (BYTE b : bytes) {
        if (b != 0)
            return FALSE;
    }
    return TRUE;
}

CString KelGUID::ToString() const {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text = "{";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 0x0F];
    }
    text += '}';
    return CString(text);
}

BOOL KelGUID::FromString(const CString& text, KelGUID& out) {
    std::string s = text.str();
    if (s.size() == 38 && s.front() == '{' && s.back() == '}')
        s = s.substr(1, 36);
    if (s.size() != 36)
        return FALSE;
    KelGUID guid;
    std::size_t nByte = 0;
    for (std::size_t i = 0; i < s.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (s[i] != '-')
                return FALSE;
            ++i;
            continue;
        }
        const int hi = HexValue(s[i]);
        const int lo = HexValue(s[i + 1]);
        if (hi < 0 || lo < 0)
            return FALSE;
        guid.bytes[nByte++] = static_cast<BYTE>(hi * 16 + lo);
        i += 2;
    }
    out = guid;
    return TRUE;
}

void KelGUID::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        return;
    }
    std::array<BYTE, 16> loaded{};
    if (ar.Read(loaded.data(), static_cast<UINT>(loaded.size())) != loaded.size())
        throw CArchiveException(CArchiveException::endOfFile);
    bytes = loaded;
}
