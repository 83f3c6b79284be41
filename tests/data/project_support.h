// The bundled demo project opened through the project component, for the map and source
// tests: nodes BOILERS, PUMPSTATION, SUBSTATION and BOILER_HOUSE with their objects and channels.
#pragma once

#include <string>

#include "data/kov_project_holder.h"
#include "data/kov_project_map.h"

namespace quillet::test {

inline std::string demo_project_path() { return std::string(QUILLET_TEST_DATA) + "/../../examples/demo_project.json"; }

// A holder with the demo project loaded and a map attached to it.
struct demo_project {
  demo_project() {
    com::register_project_component();
    loaded = holder.create() && holder.load(demo_project_path());
    map.attach(holder.project());
  }
  kov_project_holder holder;
  kov_project_map map;
  bool loaded = false;
};

}  // namespace quillet::test
