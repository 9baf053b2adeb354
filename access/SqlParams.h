#pragma once
// Named parameters (":name") in SQL text, bound as literals and never pasted raw.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace db {

// The parameter names of the text in order of first appearance, outside quotes, backticks and
// comments; "::" is not a parameter.
std::vector<std::string> ParamNames(std::string_view sql);

// The text with every parameter replaced by what literalOf returns for its name.
std::string BindParams(std::string_view sql,
                       const std::function<std::string(std::string_view name)>& literalOf);

}  // namespace db
