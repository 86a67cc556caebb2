#include "script.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kel::script {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Trim(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first])) {
        ++first;
    }
    while (last > first && IsBlank(text[last - 1])) {
        --last;
    }
    return std::string(text.substr(first, last - first));
}

} // namespace

std::string ScriptLine::Rest(std::size_t count) const {
    // Re-split to find where the count-th word ends; lines are short.
    std::size_t pos = 0;
    for (std::size_t i = 0; i < count; ++i) {
        while (pos < text.size() && IsBlank(text[pos])) {
            ++pos;
        }
        if (pos < text.size() && text[pos] == '"') {
            const std::size_t close = text.find('"', pos + 1);
            pos = close == std::string::npos ? text.size() : close + 1;
        } else {
            while (pos < text.size() && !IsBlank(text[pos])) {
                ++pos;
            }
        }
    }
    return Trim(std::string_view(text).substr(pos));
}

ScriptLine ParseLine(std::string_view raw, int number) {
    ScriptLine line;
    line.number = number;
    std::size_t pos = 0;
    std::size_t textEnd = raw.size();
    while (pos < raw.size()) {
        while (pos < raw.size() && IsBlank(raw[pos])) {
            ++pos;
        }
        if (pos >= raw.size()) {
            break;
        }
        if (raw[pos] == '#') {
            textEnd = pos; // a comment runs to the end of the line
            break;
        }
        std::string word;
        if (raw[pos] == '"') {
            const std::size_t close = raw.find('"', pos + 1);
            if (close == std::string_view::npos) {
                throw CommandError("a quoted word has no closing quote");
            }
            word = std::string(raw.substr(pos + 1, close - pos - 1));
            pos = close + 1;
        } else {
            const std::size_t start = pos;
            while (pos < raw.size() && !IsBlank(raw[pos])) {
                ++pos;
            }
            word = std::string(raw.substr(start, pos - start));
        }
        line.words.push_back(std::move(word));
    }
    line.text = Trim(raw.substr(0, textEnd));
    return line;
}

void CheckArity(const ScriptLine& line, std::size_t min, std::size_t max, const char* usage) {
    const std::size_t count = line.words.size() - 1;
    if (count < min || count > max) {
        throw UsageError(std::string("usage: ") + usage);
    }
}

long long ParseInteger(const std::string& word, const char* what, long long min, long long max) {
    long long value = 0;
    const char* first = word.data();
    const char* last = first + word.size();
    if (first != last && *first == '+') {
        ++first;
    }
    const auto [end, ec] = std::from_chars(first, last, value);
    if (word.empty() || ec != std::errc() || end != last) {
        throw CommandError(std::string(what) + " is not a whole number: " + word);
    }
    if (value < min || value > max) {
        throw CommandError(std::string(what) + " is out of range (" + std::to_string(min) + " to " +
                           std::to_string(max) + "): " + word);
    }
    return value;
}

double ParseReal(const std::string& word, const char* what) {
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    if (word.empty() || end != word.c_str() + word.size() || !std::isfinite(value)) {
        throw CommandError(std::string(what) + " is not a number: " + word);
    }
    return value;
}

} // namespace kel::script
