// Reading the template file named on the command line, shared by the report and check
// commands.
#pragma once

#include <string>

#include "doc/html_document.h"

namespace quillet::app {

// Reads the template; false after a message on stderr that names the command and the file.
bool read_template_file(const char* command, const std::string& path, html_document& doc);

}  // namespace quillet::app
