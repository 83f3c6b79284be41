// Creating the project component and opening projects through it.
#include "data/kov_project_holder.h"

#include "platform/com/registry.h"
#include "platform/com/wide_text.h"

namespace quillet {

bool kov_project_holder::create() {
  nodes_.clear();
  attributes_.reset();
  project_.reset();
  return com::SUCCEEDED(com::CoCreateInstance(com::CLSID_VxProject, com::IID_IvxProject, com::put_void(project_))) &&
         project_;
}

// The node table is resized to the project's node count with empty slots; the attribute
// table comes from the project's sub-object for attributes.
bool kov_project_holder::load(const std::string& path) {
  nodes_.clear();
  attributes_.reset();
  if (!project_)
    return false;
  project_->Close();
  if (!com::SUCCEEDED(project_->Open(com::ansi_to_wide(path))))
    return false;
  std::int32_t count = 0;
  if (!com::SUCCEEDED(project_->GetNodeCount(&count)) || count < 0)
    count = 0;
  nodes_.resize(static_cast<std::size_t>(count));
  rc_ptr<com::IUnknown> sub;
  if (com::SUCCEEDED(project_->GetSubObject(com::project_attr_table_kind, sub.put())))
    com::query(sub.get(), com::IID_IvxAttrTable, attributes_);
  return true;
}

bool kov_project_holder::browse(std::string& path) {
  if (!project_)
    return false;
  std::u16string chosen;
  if (!com::SUCCEEDED(project_->Browse(com::ansi_to_wide(path), &chosen)) || chosen.empty())
    return false;
  path = com::wide_to_ansi(chosen);
  return true;
}

std::string kov_project_holder::error_text() const {
  if (!project_)
    return kov_msg_component_not_registered;
  std::u16string text;
  project_->GetLastError(&text);
  return com::wide_to_ansi(text);
}

}  // namespace quillet
