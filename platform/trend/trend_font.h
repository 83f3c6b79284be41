// The label font of trend pictures. Every face name is served by the DejaVu family of its kind
// (sans, serif or mono), loaded from its files once per process and kept.
#pragma once

#include <cairo.h>

#include <string>

#include "platform/gdi/font_record.h"

namespace quillet::trend {

// The face name of a font record when it is plain printable ASCII; an empty name or one with
// other bytes (which the font library might refuse) gives "DejaVu Sans".
std::string label_face(const logfont& font);

// Pixel size of the em: a negative height is the character height itself, a positive one the
// cell height, of which the em is about six sevenths; 0 is the default 9 points. Held
// between 6 and 72 pixels.
double label_pixel_size(const logfont& font);

// The DejaVu family serving a face name: "DejaVu Sans Mono" for fixed-pitch faces (Courier,
// Consolas, ... Mono), "DejaVu Serif" for serif faces (Times, Georgia, ... Serif but not Sans
// Serif), "DejaVu Sans" for the rest.
const char* label_family(const std::string& face);

// Selects the record's face, weight (600 and up is bold), slant and size on the context: the
// DejaVu family of the face's kind, or the face by name when the DejaVu files are missing.
void use_label_font(cairo_t* cr, const logfont& font);

}  // namespace quillet::trend
