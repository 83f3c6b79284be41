// The project a report run reads its channels from, and the simulated data source over it:
// the same for the command line and the editor's preview.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "data/kov_project_holder.h"
#include "data/kov_project_map.h"
#include "data/kov_runtime_data_source.h"

namespace quillet {

struct report_data {
  kov_project_holder holder;
  kov_project_map map;
  std::unique_ptr<kov_runtime_data_source> source;  // simulated, or over a history store
  std::string path;  // the project file read
};

// The bundled demo project beside the program (../examples or ../share/quillet), or
// QUILLET_DEMO_PROJECT when set; empty when none is found.
std::string bundled_demo_project();

// Opens the project given by the option, else the template's PRJ setting (relative to the
// template's folder; the demo project, with a warning, when that file does not exist), else
// the demo project, and builds the simulated source at `time`.
// False with a message naming the file and the place when the project cannot be loaded.
// The note that the demo project stands in for a missing one goes to `warning`, or to stderr
// when that is null.
bool open_report_data(const std::string& option, const std::string& prj, const std::string& template_dir,
                      std::uint32_t time, report_data& out, std::string& error, std::string* warning = nullptr);

// Replaces the simulated source by one over a history store when a store is named: the
// option, else the template's STORE setting (a file relative to the template's folder).
// The store is opened for reading as one snapshot. False with a message when it cannot be.
bool use_report_store(const std::string& option, const std::string& setting, const std::string& template_dir,
                      std::uint32_t time, report_data& data, std::string& error);

}  // namespace quillet
