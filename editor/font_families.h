// The font families of the machine, as the font name box of the format toolbar offers them.
#pragma once

#include <string>
#include <vector>

namespace quillet::editor {

// Every family name fontconfig knows, sorted and without duplicates.
std::vector<std::string> font_families();

}  // namespace quillet::editor
