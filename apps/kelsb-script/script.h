// The script language's lines: one command a line, words separated by blanks, `#` at the start
// of a word opening a comment. A word in double quotes may hold blanks ("Lower Third").
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kel::script {

struct ScriptLine {
    int number = 0;                 // 1-based
    std::vector<std::string> words; // empty for blank and comment-only lines
    // The text after the first `count` words, blanks trimmed, comment removed (expect's
    // JSON value may itself hold blanks).
    std::string Rest(std::size_t count) const;
    std::string text; // the line without its comment
};

// Something a command could not do; the runner reports it with the line number.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A command used wrongly (its words do not fit it): the runner's exit status is 2.
class UsageError : public CommandError {
public:
    using CommandError::CommandError;
};

// Splits one line. Throws CommandError for an unterminated quote.
ScriptLine ParseLine(std::string_view raw, int number);

// Throws UsageError unless the line has between min and max words after the command.
void CheckArity(const ScriptLine& line, std::size_t min, std::size_t max, const char* usage);

// Word helpers that name the offending word in their error.
long long ParseInteger(const std::string& word, const char* what, long long min, long long max);
double ParseReal(const std::string& word, const char* what);

} // namespace kel::script
