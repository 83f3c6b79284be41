// The user's language and code page from the environment and the settings file.
#include "platform/crt/user_language.h"

#include <cstdlib>
#include <fstream>

#include <nlohmann/json.hpp>

namespace quillet::crt {

std::string known_language(std::string_view name) {
  if (name.size() < 2)
    return {};
  std::string two{static_cast<char>(name[0] | 0x20), static_cast<char>(name[1] | 0x20)};
  if (name.size() > 2 && name[2] != '_' && name[2] != '-' && name[2] != '.' && name[2] != '@')
    return {};
  for (const char* known : {"en", "it", "ru", "zh"})
    if (two == known)
      return two;
  return {};
}

namespace {

// The language of the first locale variable that is set; English for one of another language
// (LC_ALL=C included), since that variable is the one in force.
std::string locale_language() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value)
      continue;
    std::string lang = known_language(value);
    return lang.empty() ? "en" : lang;
  }
  return "en";
}

}  // namespace

std::string user_language(std::string_view setting) {
  const char* env = std::getenv("QUILLET_LANG");
  std::string lang = known_language(env ? env : "");
  if (lang.empty())
    lang = known_language(setting);
  return lang.empty() ? locale_language() : lang;
}

codepage language_codepage(std::string_view language) {
  std::string lang = known_language(language);
  if (lang == "ru")
    return codepage::cp1251;
  if (lang == "zh")
    return codepage::gbk;
  return codepage::cp1252;
}

codepage choose_codepage(std::string_view setting, std::string_view language) {
  codepage cp = codepage::cp1252;
  const char* env = std::getenv("QUILLET_CODEPAGE");
  if (env && parse_codepage(env, cp))
    return cp;
  if (parse_codepage(setting, cp))
    return cp;
  return language_codepage(language);
}

std::string user_settings_path(const std::string& config_home) {
  std::string base = config_home;
  if (base.empty()) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    base = xdg && *xdg ? xdg : std::string(home ? home : ".") + "/.config";
  }
  return base + "/quillet/settings.json";
}

std::string user_setting(std::string_view key) {
  std::ifstream in(user_settings_path(), std::ios::binary);
  if (!in)
    return {};
  nlohmann::json stored = nlohmann::json::parse(in, nullptr, false);
  if (!stored.is_object())
    return {};
  auto it = stored.find(std::string(key));
  return it != stored.end() && it->is_string() ? it->get<std::string>() : std::string();
}

void apply_user_codepage() {
  set_codepage(choose_codepage(user_setting("codepage"), user_language(user_setting("language"))));
}

}  // namespace quillet::crt
