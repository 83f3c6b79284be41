// The command line's answers to mistyped names and its reading of "--opt=value".
#include <algorithm>

#include "app/commands.h"

namespace quillet::app {

namespace {

// The number of single-byte edits between two short names.
std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j)
    row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::string did_you_mean(const std::string& given, const std::vector<std::string_view>& known) {
  std::string_view best;
  std::size_t best_distance = 3;
  for (std::string_view k : known) {
    std::size_t d = edit_distance(given, k);
    if (d < best_distance) {
      best_distance = d;
      best = k;
    }
  }
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
