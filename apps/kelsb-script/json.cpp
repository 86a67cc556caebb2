#include "json.h"

#include "platform/cstring.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kel::script {

double Json::AsNumber() const {
    if (IsInteger()) {
        return static_cast<double>(std::get<std::int64_t>(m_value));
    }
    return std::get<double>(m_value);
}

Json& Json::Push(Json value) {
    auto& array = std::get<Array>(m_value);
    array.push_back(std::move(value));
    return array.back();
}

Json& Json::Set(const std::string& key, Json value) {
    auto& object = std::get<Object>(m_value);
    for (auto& [name, member] : object) {
        if (name == key) {
            member = std::move(value);
            return member;
        }
    }
    object.emplace_back(key, std::move(value));
    return object.back().second;
}

const Json* Json::Find(std::string_view key) const {
    if (!IsObject()) {
        return nullptr;
    }
    for (const auto& [name, member] : AsObject()) {
        if (name == key) {
            return &member;
        }
    }
    return nullptr;
}

bool operator==(const Json& a, const Json& b) {
    if (a.IsNumber() && b.IsNumber()) {
        if (a.IsInteger() && b.IsInteger()) {
            return std::get<std::int64_t>(a.m_value) == std::get<std::int64_t>(b.m_value);
        }
        return a.AsNumber() == b.AsNumber();
    }
    if (a.m_value.index() != b.m_value.index()) {
        return false;
    }
    if (a.IsObject()) {
        const auto& left = a.AsObject();
        if (left.size() != b.AsObject().size()) {
            return false;
        }
        for (const auto& [key, value] : left) {
            const Json* other = b.Find(key);
            if (!other || !(value == *other)) {
                return false;
            }
        }
        return true;
    }
    return a.m_value == b.m_value;
}

// --- Writing.

namespace {

// Text that is not valid UTF-8 (a name with broken bytes) is written with U+FFFD in their
// place, so that the output stays JSON.
void WriteString(std::string& out, const std::string& raw) {
    out += '"';
    for (const char c : kel::platform::ToValidUtf8(raw)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                out += escape;
            } else {
                out += c; // UTF-8 passes through
            }
        }
    }
    out += '"';
}

} // namespace

std::string Json::Write() const {
    std::string out;
    WriteTo(out);
    return out;
}

void Json::WriteTo(std::string& out) const {
    if (IsNull()) {
        out += "null";
    } else if (IsBool()) {
        out += AsBool() ? "true" : "false";
    } else if (IsInteger()) {
        out += std::to_string(std::get<std::int64_t>(m_value));
    } else if (IsNumber()) {
        const double d = AsNumber();
        if (!std::isfinite(d)) {
            out += "null"; // JSON has no infinities
        } else {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.17g", d);
            out += buffer;
        }
    } else if (IsString()) {
        WriteString(out, AsString());
    } else if (IsArray()) {
        out += '[';
        bool first = true;
        for (const Json& element : AsArray()) {
            if (!first) {
                out += ',';
            }
            first = false;
            element.WriteTo(out);
        }
        out += ']';
    } else {
        out += '{';
        bool first = true;
        for (const auto& [key, value] : AsObject()) {
            if (!first) {
                out += ',';
            }
            first = false;
            WriteString(out, key);
            out += ':';
            value.WriteTo(out);
        }
        out += '}';
    }
}

// --- Parsing.

namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    std::optional<Json> ParseDocument(std::string* error) {
        std::optional<Json> value = ParseValue(0);
        if (value) {
            SkipBlanks();
            if (m_pos != m_text.size()) {
                Fail("unexpected text after the value");
                value.reset();
            }
        }
        if (!value && error) {
            *error = m_error + " at offset " + std::to_string(m_pos);
        }
        return value;
    }

private:
    // Deep enough for any state path; a limit keeps hostile input from exhausting the stack.
    static constexpr int kMaxDepth = 64;

    void Fail(const char* what) {
        if (m_error.empty()) {
            m_error = what;
        }
    }

    void SkipBlanks() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r')) {
            ++m_pos;
        }
    }

    bool Literal(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) == word) {
            m_pos += word.size();
            return true;
        }
        return false;
    }

    std::optional<Json> ParseValue(int depth) {
        if (depth > kMaxDepth) {
            Fail("nested too deeply");
            return std::nullopt;
        }
        SkipBlanks();
        if (m_pos >= m_text.size()) {
            Fail("a value is missing");
            return std::nullopt;
        }
        const char c = m_text[m_pos];
        if (c == '{') {
            return ParseObject(depth);
        }
        if (c == '[') {
            return ParseArray(depth);
        }
        if (c == '"') {
            std::optional<std::string> s = ParseString();
            return s ? std::optional<Json>(Json(std::move(*s))) : std::nullopt;
        }
        if (Literal("true")) {
            return Json(true);
        }
        if (Literal("false")) {
            return Json(false);
        }
        if (Literal("null")) {
            return Json();
        }
        return ParseNumber();
    }

    std::optional<Json> ParseObject(int depth) {
        ++m_pos; // '{'
        Json object = Json::MakeObject();
        SkipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == '}') {
            ++m_pos;
            return object;
        }
        for (;;) {
            SkipBlanks();
            if (m_pos >= m_text.size() || m_text[m_pos] != '"') {
                Fail("a member name is missing");
                return std::nullopt;
            }
            std::optional<std::string> key = ParseString();
            if (!key) {
                return std::nullopt;
            }
            SkipBlanks();
            if (m_pos >= m_text.size() || m_text[m_pos] != ':') {
                Fail("':' is missing");
                return std::nullopt;
            }
            ++m_pos;
            std::optional<Json> value = ParseValue(depth + 1);
            if (!value) {
                return std::nullopt;
            }
            object.Set(*key, std::move(*value));
            SkipBlanks();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == '}') {
                ++m_pos;
                return object;
            }
            Fail("',' or '}' is missing");
            return std::nullopt;
        }
    }

    std::optional<Json> ParseArray(int depth) {
        ++m_pos; // '['
        Json array = Json::MakeArray();
        SkipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == ']') {
            ++m_pos;
            return array;
        }
        for (;;) {
            std::optional<Json> value = ParseValue(depth + 1);
            if (!value) {
                return std::nullopt;
            }
            array.Push(std::move(*value));
            SkipBlanks();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == ']') {
                ++m_pos;
                return array;
            }
            Fail("',' or ']' is missing");
            return std::nullopt;
        }
    }

    static void AppendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool ParseHex4(unsigned& code) {
        if (m_pos + 4 > m_text.size()) {
            return false;
        }
        const char* first = m_text.data() + m_pos;
        const auto [end, ec] = std::from_chars(first, first + 4, code, 16);
        if (ec != std::errc() || end != first + 4) {
            return false;
        }
        m_pos += 4;
        return true;
    }

    std::optional<std::string> ParseString() {
        ++m_pos; // opening quote
        std::string out;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') {
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                Fail("a control character in a string");
                return std::nullopt;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size()) {
                break;
            }
            const char e = m_text[m_pos++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned code = 0;
                if (!ParseHex4(code)) {
                    Fail("a bad \\u escape");
                    return std::nullopt;
                }
                if (code >= 0xD800 && code < 0xDC00 && Literal("\\u")) {
                    unsigned low = 0;
                    if (!ParseHex4(low) || low < 0xDC00 || low >= 0xE000) {
                        Fail("a bad surrogate pair");
                        return std::nullopt;
                    }
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(out, code);
                break;
            }
            default:
                Fail("a bad escape");
                return std::nullopt;
            }
        }
        Fail("an unterminated string");
        return std::nullopt;
    }

    std::optional<Json> ParseNumber() {
        const std::size_t start = m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '-') {
            ++m_pos;
        }
        const std::size_t digits = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
            ++m_pos;
        }
        if (m_pos == digits) {
            m_pos = start;
            Fail("not a JSON value");
            return std::nullopt;
        }
        if (m_pos - digits > 1 && m_text[digits] == '0') {
            Fail("a number with a leading zero");
            return std::nullopt;
        }
        bool integral = true;
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            integral = false;
            ++m_pos;
            const std::size_t fraction = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
                ++m_pos;
            }
            if (m_pos == fraction) {
                Fail("a number without digits after the point");
                return std::nullopt;
            }
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            integral = false;
            ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) {
                ++m_pos;
            }
            const std::size_t exponent = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
                ++m_pos;
            }
            if (m_pos == exponent) {
                Fail("a number without exponent digits");
                return std::nullopt;
            }
        }
        const char* first = m_text.data() + start;
        const char* last = m_text.data() + m_pos;
        // A number that cannot be held exactly enough to compare is refused rather than
        // rounded into another value: an integer past 64 bits, or a real that overflows or
        // vanishes.
        if (integral) {
            long long n = 0;
            const auto [end, ec] = std::from_chars(first, last, n);
            if (ec != std::errc() || end != last) {
                Fail("a whole number out of the 64-bit range");
                return std::nullopt;
            }
            return Json(n);
        }
        const std::string copy(first, last);
        errno = 0;
        const double d = std::strtod(copy.c_str(), nullptr);
        if (errno == ERANGE) {
            Fail("a number out of range");
            return std::nullopt;
        }
        return Json(d);
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_error;
};

} // namespace

std::optional<Json> Json::Parse(std::string_view text, std::string* error) {
    return Parser(text).ParseDocument(error);
}

const Json* ResolvePath(const Json& root, std::string_view path, std::string* failedAt) {
    const Json* node = &root;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t dot = path.find('.', start);
        const std::string_view step = path.substr(
            start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        const Json* next = nullptr;
        if (node->IsObject()) {
            next = node->Find(step);
        } else if (node->IsArray()) {
            std::size_t index = 0;
            const auto [end, ec] = std::from_chars(step.data(), step.data() + step.size(), index);
            if (ec == std::errc() && end == step.data() + step.size() && !step.empty() &&
                index < node->AsArray().size()) {
                next = &node->AsArray()[index];
            }
        }
        if (!next) {
            if (failedAt) {
                *failedAt =
                    std::string(path.substr(0, dot == std::string_view::npos ? path.size() : dot));
            }
            return nullptr;
        }
        node = next;
        if (dot == std::string_view::npos) {
            break;
        }
        start = dot + 1;
    }
    return node;
}

} // namespace kel::script
