// The 16-byte identity of a scene item: materials refer to pieces by it.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

#include <array>
#include <compare>
#include <cstddef>
#include <functional>
#include <string_view>

class CArchive;

struct KelGUID {
    std::array<BYTE, 16> bytes{};

    // A fresh random identity (version 4 layout) from the system's random source.
    static KelGUID New();
    // A made-up identity that is the same on every run, so that files written from it do not
    // change: up to 12 bytes of `tag`, zeros after them, and n in the last four (big-endian).
    static KelGUID Tagged(const char* tag, unsigned n);
    // Parses the text form (with or without braces, either case); returns FALSE and leaves
    // `out` alone on anything else.
    static BOOL FromString(const CString& text, KelGUID& out);

    BOOL IsNull() const;
    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hex.
    CString ToString() const;

    // The 16 bytes as they are.
    void Serialize(CArchive& ar);

    friend bool operator==(const KelGUID&, const KelGUID&) = default;
    friend auto operator<=>(const KelGUID&, const KelGUID&) = default;
};

template <>
struct std::hash<KelGUID> {
    std::size_t operator()(const KelGUID& guid) const noexcept {
        return std::hash<std::string_view>()(
            std::string_view(reinterpret_cast<const char*>(guid.bytes.data()), guid.bytes.size()));
    }
};
