// The project the editing view works with: creates the project component, opens a project
// file by path and keeps the project's node table and attribute table. Also the texts of the
// messages shown when a project cannot be created, loaded or is missing.
#pragma once

#include <string>
#include <vector>

#include "platform/project/project_interfaces.h"

namespace quillet {

inline constexpr const char* kov_msg_component_not_registered =
    "Error loading vxplib.dll: component is registered incorrectly";
inline constexpr const char* kov_msg_cannot_load_project = "Cannot load project %s, please specify the correct location";
inline constexpr const char* kov_msg_error_loading_project = "Error loading project: %s";
inline constexpr const char* kov_msg_project_not_specified = "Project file not specified. Please, select one";

class kov_project_holder {
public:
  // Creates the component, releasing what was held; false when it is not registered.
  bool create();
  // Opens a project (ANSI path); false when there is no component or the file fails to open.
  bool load(const std::string& path);
  // Lets the user choose a project file; true with a new path, false when cancelled.
  bool browse(std::string& path);
  // True when a project with at least one node is open.
  bool loaded() const { return !nodes_.empty(); }
  // Why the last load failed, naming the file and the place (empty when there is no reason).
  std::string error_text() const;
  // The main interface (not counted for the caller), or null.
  com::IvxProject* project() const { return project_.get(); }

private:
  rc_ptr<com::IvxProject> project_;
  rc_ptr<com::IvxAttrTable> attributes_;
  std::vector<rc_ptr<com::IvxPrjNode>> nodes_;
};

}  // namespace quillet
