// The generic control site: creation by class identifier, release, printing, extensions.
#include "report/ocx_elt_site.h"

#include "platform/com/registry.h"
#include "platform/trend/trend_interfaces.h"
#include "report/html_dyn_elt.h"
#include "report/image_writers.h"

namespace quillet {

ocx_elt_site_generic::ocx_elt_site_generic(html_dyn_elt_ocx& owner_element, const com::CLSID& id)
    : owner(&owner_element), clsid(id), printer(std::make_unique<ocx_printer>()) {}

ocx_elt_site_generic::~ocx_elt_site_generic() { ocx_elt_site_generic::release_control(); }

// A control created before is let go first; the new one must accept the printer's site and
// whatever this class does after creation.
bool ocx_elt_site_generic::create_control() {
  release_control();
  if (!printer)
    return false;
  control.reset();
  if (com::FAILED(com::CoCreateInstance(clsid, com::IID_IOleObject, com::put_void(control))) || !control)
    return false;
  return printer->attach(control.get()) && after_create();
}

void ocx_elt_site_generic::release_control() {
  if (printer)
    printer->detach();
  control.reset();
}

bool ocx_elt_site_generic::print(std::ostream& stream, int image_type) {
  if (!control || !printer)
    return false;
  printer->set_size(owner->width, owner->height);
  if (!prepare_print())
    return false;
  if (!printer->render_image(image_type, owner->bits_per_pixel, stream))
    return false;
  stream.flush();
  return !stream.fail();
}

std::string ocx_elt_site_generic::image_extension(int image_type) {
  if (!printer)
    return std::string();
  return quillet::image_extension(image_type);
}

bool ocx_elt_site_generic::after_create() { return true; }

bool ocx_elt_site_generic::prepare_print() { return true; }

void ocx_register_controls() {
  static const bool registered = (trend::register_trend_control(), true);
  (void)registered;
}

// The trend control is registered before the first trend site can create one.
std::unique_ptr<ocx_elt_site> ocx_make_site(html_dyn_elt_ocx& owner, const com::CLSID& clsid) {
  ocx_register_controls();
  if (clsid == trend::CLSID_trend_control)
    return std::make_unique<ocx_elt_site_trend>(owner, clsid);
  return std::make_unique<ocx_elt_site_generic>(owner, clsid);
}

}  // namespace quillet
