// The user's language of the user interface and the ANSI code page that goes with it, from
// the environment and the user's settings file (the stand-in of the per-user registry).
#pragma once

#include <string>
#include <string_view>

#include "platform/crt/char_class.h"

namespace quillet::crt {

// "en", "it", "ru" or "zh" for a language setting or a locale name ("ru", "ru_RU.UTF-8",
// "zh-CN"); empty for any other name.
std::string known_language(std::string_view name);

// The language of the user interface: QUILLET_LANG when it names one of the four, else
// `setting` when it does, else the locale's (the first set of LC_ALL, LC_MESSAGES, LANG),
// else English.
std::string user_language(std::string_view setting);

// The ANSI code page of a language: windows-1251 for Russian, GBK for Chinese, windows-1252
// for English, Italian and any other.
codepage language_codepage(std::string_view language);

// The code page of a run: QUILLET_CODEPAGE when it names one, else `setting` when it does,
// else the code page of `language`.
codepage choose_codepage(std::string_view setting, std::string_view language);

// The path of the user's settings file under `config_home` (empty: $XDG_CONFIG_HOME, else
// ~/.config).
std::string user_settings_path(const std::string& config_home = {});

// The text value of `key` in the user's settings file; empty when the file, the key or a
// text value is missing.
std::string user_setting(std::string_view key);

// Puts in force the code page chosen from the environment and the user's settings.
void apply_user_codepage();

}  // namespace quillet::crt
