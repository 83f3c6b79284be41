// Character classes and case conversion of the configured ANSI code page (windows-1252 by
// default, windows-1251 or GBK), as the original platform's C library gave them; the
// process's own UTF-8 locale plays no part. Arguments are bytes 0..255 or EOF (-1).
#pragma once

#include <string_view>

namespace quillet::crt {

enum class codepage { cp1252, cp1251, gbk };

// The code page in force: QUILLET_CODEPAGE ("1252", "1251", "936"/"gbk", or the
// "windows-125x" names) when set, else windows-1252, until set_codepage changes it.
codepage current_codepage();
void set_codepage(codepage cp);
// Parses a code page name as QUILLET_CODEPAGE takes it; false when unknown.
bool parse_codepage(std::string_view name, codepage& out);
// The iconv name of a code page ("WINDOWS-1252", "WINDOWS-1251", "GBK").
const char* codepage_iconv_name(codepage cp);

bool is_space(int c);
bool is_alpha(int c);
bool is_digit(int c);
bool is_alnum(int c);
bool is_upper(int c);
bool is_lower(int c);
int to_upper(int c);
int to_lower(int c);

}  // namespace quillet::crt
