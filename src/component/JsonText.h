#pragma once

#include <string>
#include <string_view>

namespace zelmo {

// Appends `text` as a JSON string: quotes and backslashes escaped, control characters as
// JSON escapes; any other text passes unchanged, which keeps ordinary templates byte-exact.
void AppendJSONString(std::string& out, std::string_view text);

}  // namespace zelmo
