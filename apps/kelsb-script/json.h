// A small JSON value for the runner's state dump and the values scripts compare it with.
// Objects keep their keys in insertion order so that a dump always reads the same way.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace kel::script {

class Json {
public:
    using Array = std::vector<Json>;
    using Object = std::vector<std::pair<std::string, Json>>;

    Json() = default; // null
    Json(std::nullptr_t) {}
    Json(bool b) : m_value(b) {}
    Json(int n) : m_value(static_cast<std::int64_t>(n)) {}
    Json(unsigned n) : m_value(static_cast<std::int64_t>(n)) {}
    Json(long n) : m_value(static_cast<std::int64_t>(n)) {}
    Json(unsigned long n) : Json(static_cast<unsigned long long>(n)) {}
    Json(long long n) : m_value(static_cast<std::int64_t>(n)) {}
    // Past the signed range a count is kept as a real rather than turned negative.
    Json(unsigned long long n)
        : m_value(n <= static_cast<unsigned long long>(INT64_MAX)
                      ? Value(static_cast<std::int64_t>(n))
                      : Value(static_cast<double>(n))) {}
    Json(double d) : m_value(d) {}
    Json(const char* s) : m_value(std::string(s)) {}
    Json(std::string s) : m_value(std::move(s)) {}
    Json(Array a) : m_value(std::move(a)) {}
    Json(Object o) : m_value(std::move(o)) {}

    static Json MakeArray() { return Json(Array{}); }
    static Json MakeObject() { return Json(Object{}); }

    bool IsNull() const { return std::holds_alternative<std::monostate>(m_value); }
    bool IsBool() const { return std::holds_alternative<bool>(m_value); }
    bool IsInteger() const { return std::holds_alternative<std::int64_t>(m_value); }
    bool IsNumber() const { return IsInteger() || std::holds_alternative<double>(m_value); }
    bool IsString() const { return std::holds_alternative<std::string>(m_value); }
    bool IsArray() const { return std::holds_alternative<Array>(m_value); }
    bool IsObject() const { return std::holds_alternative<Object>(m_value); }

    bool AsBool() const { return std::get<bool>(m_value); }
    double AsNumber() const;
    const std::string& AsString() const { return std::get<std::string>(m_value); }
    const Array& AsArray() const { return std::get<Array>(m_value); }
    const Object& AsObject() const { return std::get<Object>(m_value); }

    // Appends to an array.
    Json& Push(Json value);
    // Sets a key of an object (replacing an existing one, keeping its place).
    Json& Set(const std::string& key, Json value);
    // The member of an object, or null when absent or not an object.
    const Json* Find(std::string_view key) const;

    // Compact text on one line.
    std::string Write() const;
    // Strict JSON; nullopt with a reason in `error` on anything else (trailing text included).
    static std::optional<Json> Parse(std::string_view text, std::string* error = nullptr);

    // Structural equality; numbers compare by value (1 equals 1.0), object keys in any order.
    friend bool operator==(const Json& a, const Json& b);

private:
    void WriteTo(std::string& out) const;

    using Value =
        std::variant<std::monostate, bool, std::int64_t, double, std::string, Array, Object>;
    Value m_value;
};

// The value at a dotted path ("document.storyboards.0.name"): object members by key, array
// elements by index. Null pointer when the path leads nowhere; `failedAt` then names the step
// that was not found.
const Json* ResolvePath(const Json& root, std::string_view path, std::string* failedAt = nullptr);

} // namespace kel::script
