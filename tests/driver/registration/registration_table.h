#pragma once
// Registration tables as the host writes them, and the pieces of the register's
// answers the tests inject.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvant::testing {

using Attributes = std::vector<std::pair<std::string, std::string>>;

// <?xml version="1.0" encoding="UTF-8"?><Parameters …/> with the attributes in
// the order given, values escaped as XML requires.
std::string registrationTable(const Attributes& attributes);

// `table` with each of `changes` set: a value replaced in place, a new
// attribute appended.
std::string withAttributes(const std::string& table, const Attributes& changes);

// An injection rule that replaces the whole answer of the next call of
// `function` with `answer`.
std::string answerRule(std::string_view function, const std::string& answer);

} // namespace korvant::testing
