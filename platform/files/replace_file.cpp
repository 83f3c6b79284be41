// One whole file written through output_file.
#include "platform/files/replace_file.h"

#include "platform/files/output_file.h"

namespace quillet::files {

bool replace_file(const std::string& target, std::string_view bytes, std::string& error) {
  output_file file(target);
  if (file.open()) {
    file.stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (file.commit())
      return true;
  }
  error = "cannot write '" + target + "': " + file.error();
  return false;
}

}  // namespace quillet::files
