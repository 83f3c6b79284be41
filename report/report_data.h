// The project a command-line report reads its channels from, and the simulated data source
// over it, as the editor's preview builds them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "data/kov_project_holder.h"
#include "data/kov_project_map.h"
#include "data/kov_sim_data_source.h"

namespace quillet::app {

struct report_data {
  kov_project_holder holder;
  kov_project_map map;
  std::unique_ptr<kov_sim_data_source> source;
};

// The bundled demo project beside the program (../examples or ../share/quillet), or
// QUILLET_DEMO_PROJECT when set; empty when none is found.
std::string bundled_demo_project();

// Opens the project given by the option, else the template's PRJ setting (relative to the
// template's folder; the demo project, with a warning, when that file does not exist), else
// the demo project, and builds the simulated source at `time`.
// False with a message naming the file and the place when the project cannot be loaded.
bool open_report_data(const std::string& option, const std::string& prj, const std::string& template_dir,
                      std::uint32_t time, report_data& out, std::string& error);

// Seconds since 1970 or a local time YYYY-MM-DD[THH:MM[:SS]], as `quillet report` reads --time.
bool parse_report_time(const std::string& text, std::uint32_t& out);

}  // namespace quillet::app
