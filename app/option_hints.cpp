// The command line's answers to mistyped names and its reading of "--opt=value".
#include <algorithm>

#include "app/commands.h"
#include "platform/text/nearest_name.h"

namespace quillet::app {

std::string did_you_mean(const std::string& given, const std::vector<std::string_view>& known) {
  std::string_view best = nearest_name(given, known);
  return best.empty() ? "" : "; did you mean '" + std::string(best) + "'?";
}

arg_list split_option_values(const arg_list& args) {
  arg_list out;
  bool options = true;
  for (const std::string& a : args) {
    std::size_t eq = a.find('=');
    options = options && a != "--";
    if (!options || a.rfind("--", 0) != 0 || eq == std::string::npos || eq == 2) {
      out.push_back(a);
      continue;
    }
    out.push_back(a.substr(0, eq));
    out.push_back(a.substr(eq + 1));
  }
  return out;
}

}  // namespace quillet::app
