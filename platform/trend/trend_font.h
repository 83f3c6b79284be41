// The label font of trend pictures. Faces of the DejaVu families are loaded from their files
// once per process and kept; any other face is looked up by the font library.
#pragma once

#include <cairo.h>

#include <string>

#include "doc/style_values.h"

namespace quillet::trend {

// The face name of a font record when it is plain printable ASCII; an empty name or one with
// other bytes (which the font library might refuse) gives "DejaVu Sans".
std::string label_face(const logfont& font);

// Pixel size of the em: a negative height is the character height itself, a positive one the
// cell height, of which the em is about six sevenths; 0 is the default 9 points. Held
// between 6 and 72 pixels.
double label_pixel_size(const logfont& font);

// Selects the record's face, weight (600 and up is bold), slant and size on the context.
void use_label_font(cairo_t* cr, const logfont& font);

}  // namespace quillet::trend
