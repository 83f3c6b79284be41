// The owner of one embedded control of a report template: creates the control by its class
// identifier, hosts it in a printer and prints it into an image file. The element that owns
// a site outlives it; the site owns its printer and its reference to the control. Trend
// controls get a site that turns the element's properties into their settings and curves.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "data/multi_kov_archive.h"
#include "platform/com/ole.h"
#include "report/ocx_printer.h"

namespace quillet {

class html_dyn_elt_ocx;

class ocx_elt_site {
public:
  virtual ~ocx_elt_site() = default;
  // Creates the control and hosts it; false when either fails.
  virtual bool create_control() = 0;
  // Lets the control go.
  virtual void release_control() = 0;
  // Writes the control's picture as an image file of the type into the stream.
  virtual bool print(std::ostream& stream, int image_type) = 0;
  // The file extension for an image type, with its dot.
  virtual std::string image_extension(int image_type) = 0;
};

// A control drawn as it comes, without settings.
class ocx_elt_site_generic : public ocx_elt_site {
public:
  ocx_elt_site_generic(html_dyn_elt_ocx& owner, const com::CLSID& clsid);
  ~ocx_elt_site_generic() override;

  bool create_control() override;
  void release_control() override;
  // Sizes the control to the element, prepares it and renders it; false when a step or the
  // stream fails.
  bool print(std::ostream& stream, int image_type) override;
  std::string image_extension(int image_type) override;
  // Called once the control is hosted; true here.
  virtual bool after_create();
  // Called before each picture; true here.
  virtual bool prepare_print();

  html_dyn_elt_ocx* owner;  // not owned
  com::CLSID clsid;
  std::unique_ptr<ocx_printer> printer;
  rc_ptr<com::IOleObject> control;
};

// A trend control: each picture applies the element's display settings and curves and feeds
// the curves from the report's data source through the archive bridge.
class ocx_elt_site_trend : public ocx_elt_site_generic {
public:
  ocx_elt_site_trend(html_dyn_elt_ocx& owner, const com::CLSID& clsid);
  ~ocx_elt_site_trend() override;

  void release_control() override;
  // Prints as any control does, or as SVG when the element's SVG property asks for it, then
  // lets the bridge drop the nodes of the run's data source, which need not outlive the run.
  bool print(std::ostream& stream, int image_type) override;
  // ".svg" when the element asks for SVG, else the image type's extension.
  std::string image_extension(int image_type) override;
  bool after_create() override;
  // Prepares the control and has it write its picture as SVG; false when a step fails.
  bool print_svg(std::ostream& stream);
  // Applies the settings, curves and legend; false when the control lacks an interface or
  // every curve the element asks for failed.
  bool prepare_print() override;

  multi_kov_archive archive;
};

// Registers the controls this system brings (the trend control) with the component registry,
// once per process; later calls do nothing, so a registration made afterwards stays.
void ocx_register_controls();

// A new site for the class: a trend site for the trend control's class, a generic one for
// any other; it has a printer and no control yet.
std::unique_ptr<ocx_elt_site> ocx_make_site(html_dyn_elt_ocx& owner, const com::CLSID& clsid);

}  // namespace quillet
