// Choosing and opening the project of a report run.
#include "report/report_data.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "data/historian/hist_data_source.h"
#include "data/kov_sim_data_source.h"
#include "platform/project/project_interfaces.h"

namespace quillet {

namespace fs = std::filesystem;

std::string bundled_demo_project() {
  if (const char* env = std::getenv("QUILLET_DEMO_PROJECT"))
    return env;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec)
    return {};
  for (const char* rel : {"../examples/demo_project.json", "../share/quillet/demo_project.json"}) {
    const fs::path candidate = exe.parent_path() / rel;
    if (fs::is_regular_file(candidate, ec))
      return candidate.lexically_normal().string();
  }
  return {};
}

// The path the run uses: the option, else PRJ resolved against the template's folder, else
// the demo project.
static std::string chosen_project(const std::string& option, const std::string& prj, const std::string& dir) {
  if (!option.empty())
    return option;
  if (prj.empty())
    return bundled_demo_project();
  const fs::path p(prj);
  return p.is_absolute() || dir.empty() ? prj : (fs::path(dir) / p).string();
}

bool open_report_data(const std::string& option, const std::string& prj, const std::string& template_dir,
                      std::uint32_t time, report_data& out, std::string& error, std::string* warning) {
  com::register_project_component();
  std::string path = chosen_project(option, prj, template_dir);
  std::error_code ec;
  if (option.empty() && !prj.empty() && !fs::exists(path, ec)) {
    // A template made on another machine names a project that is not here: the run goes on
    // with the demo project, saying so, rather than producing nothing.
    std::string note = "the template's project " + path + " does not exist; using the bundled demo project";
    if (warning)
      *warning = note;
    else
      std::fprintf(stderr, "quillet: %s.\n", note.c_str());
    path = bundled_demo_project();
  }
  if (path.empty()) {
    error = "no project given and the bundled demo project was not found (set QUILLET_DEMO_PROJECT)";
    return false;
  }
  if (!out.holder.create()) {
    error = out.holder.error_text();
    return false;
  }
  if (!out.holder.load(path)) {
    error = out.holder.error_text();
    return false;
  }
  out.path = path;
  out.map.attach(out.holder.project());
  out.source = std::make_unique<kov_sim_data_source>(&out.map, time);
  return true;
}

// A setting's SQLite file is relative to the template's folder; URIs and options are used
// as they are.
static std::string chosen_store(const std::string& option, const std::string& setting, const std::string& dir) {
  if (!option.empty() || setting.empty() || setting.find("://") != std::string::npos)
    return option.empty() ? setting : option;
  const bool prefixed = setting.rfind("sqlite:", 0) == 0;
  const fs::path p(prefixed ? setting.substr(7) : setting);
  if (p.is_absolute() || dir.empty())
    return setting;
  return "sqlite:" + (fs::path(dir) / p).string();
}

bool use_report_store(const std::string& option, const std::string& setting, const std::string& template_dir,
                      std::uint32_t time, report_data& data, std::string& error) {
  const std::string name = chosen_store(option, setting, template_dir);
  if (name.empty())
    return true;
  std::unique_ptr<hist_store> store = hist_open_store(name, false, error);
  if (!store)
    return false;
  data.source = std::make_unique<hist_data_source>(&data.map, std::move(store), time);
  return true;
}

}  // namespace quillet
