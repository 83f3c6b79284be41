// The language of the user interface and the code page of a run, from the environment and
// the settings.
#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/crt/user_language.h"

namespace quillet::crt {
namespace {

struct env_row {
  const char* quillet_lang;  // null: unset
  const char* lc_all;
  const char* lang;
  const char* setting;
  const char* expect;
};

void set_or_unset(const char* name, const char* value) {
  if (value)
    ::setenv(name, value, 1);
  else
    ::unsetenv(name);
}

TEST(user_language, the_variable_wins_then_the_setting_then_the_locale) {
  const env_row rows[] = {
      {"ru", "it_IT.UTF-8", nullptr, "zh", "ru"},
      {"fr", nullptr, "it_IT.UTF-8", "zh", "zh"},  // an unknown QUILLET_LANG is passed over
      {nullptr, nullptr, "zh_CN.UTF-8", "", "zh"},
      {nullptr, "C", "ru_RU.UTF-8", "", "en"},  // LC_ALL is the locale in force
      {nullptr, nullptr, "ru_RU.KOI8-R", "", "ru"},
      {nullptr, nullptr, "rus", "", "en"},
      {nullptr, nullptr, nullptr, "it", "it"},
      {nullptr, nullptr, nullptr, "", "en"},
  };
  const char* lang = std::getenv("LANG");
  const std::string saved_lang = lang ? lang : "";
  ::unsetenv("LC_MESSAGES");
  for (const env_row& r : rows) {
    SCOPED_TRACE(std::string(r.lang ? r.lang : "-") + " " + r.setting);
    set_or_unset("QUILLET_LANG", r.quillet_lang);
    set_or_unset("LC_ALL", r.lc_all);
    set_or_unset("LANG", r.lang);
    EXPECT_EQ(user_language(r.setting), r.expect);
  }
  ::unsetenv("QUILLET_LANG");
  ::unsetenv("LC_ALL");
  set_or_unset("LANG", lang ? saved_lang.c_str() : nullptr);
}

TEST(user_language, the_code_page_is_the_variables_then_the_settings_then_the_languages) {
  struct row {
    const char* env;
    const char* setting;
    const char* language;
    codepage expect;
  };
  const row rows[] = {
      {nullptr, "", "en", codepage::cp1252}, {nullptr, "", "it", codepage::cp1252},
      {nullptr, "", "ru", codepage::cp1251}, {nullptr, "", "zh", codepage::gbk},
      {nullptr, "windows-1252", "ru", codepage::cp1252}, {"936", "windows-1251", "en", codepage::gbk},
      {"bogus", "", "ru", codepage::cp1251},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(std::string(r.setting) + " " + r.language);
    set_or_unset("QUILLET_CODEPAGE", r.env);
    EXPECT_EQ(choose_codepage(r.setting, r.language), r.expect);
  }
  ::unsetenv("QUILLET_CODEPAGE");
}

}  // namespace
}  // namespace quillet::crt
