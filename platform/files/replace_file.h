// Replacing one file by a text in one step, through the output file protocol: the previous
// file stays whole until the complete new one is renamed over it, and a link at the target
// is replaced, not followed.
#pragma once

#include <string>
#include <string_view>

namespace quillet::files {

// Replaces `target` by `bytes`; false with `error` saying "cannot write 'TARGET': why" and
// the target as it was. An existing plain file keeps its permissions; a new one gets those
// of a new file.
bool replace_file(const std::string& target, std::string_view bytes, std::string& error);

}  // namespace quillet::files
