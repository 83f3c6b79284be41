// Image files of embedded controls: a captured palette image written as a palette PNG or a
// Windows bitmap, the file extension of an image type, and whole-file saving that never
// leaves a half-written file behind. Nothing here keeps the stream or the image.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "platform/gdi/drawing_surface.h"
#include "platform/gdi/palette_capture.h"

namespace quillet {

// Image type codes of the IMAGE_TYPE property; 0 counts as PNG.
inline constexpr int image_type_default = 0;
inline constexpr int image_type_bmp = 1;
inline constexpr int image_type_png = 3;

// ".bmp" for the bitmap type, ".png" for every other code (0 and unknown codes included).
const char* image_extension(int image_type);

// The complete PNG file: header (colour type 3, no interlacing), a palette of all 16 or 256
// table entries, the rows top first, end. False when libpng reports an error or the stream
// fails; the bytes written so far stay in the stream.
bool write_png_image(const gdi::palette_image& image, std::ostream& stream);

// The complete bitmap file: 14-byte file header, 40-byte information header with a negative
// height (rows top first), the full colour table, the pixel rows.
bool write_bmp_image(const gdi::palette_image& image, std::ostream& stream);

// Writes the image in the file format of the type code (0 counting as PNG). False without
// touching the stream for any other code, or when the image is not a 4- or 8-bit image.
bool write_palette_image(int image_type, const gdi::palette_image& image, std::ostream& stream);

// Whether pictures of this type code (0, 1 or 3) and depth (4 or 8 bits) can be written.
bool image_request_ok(int image_type, int bits_per_pixel);

// Captures the drawn surface at 4 or 8 bits and writes it as `write_palette_image` does.
// False without touching the stream for a bad type or depth.
bool render_surface_image(int image_type, int bits_per_pixel, const gdi::drawing_surface& surface,
                          std::ostream& stream);

// Writes a file through `produce` into a temporary file beside `path` and renames it over
// `path` only when `produce` succeeded and every byte reached the disk; otherwise the
// temporary file is removed and `path` is left as it was. False on any failure.
bool save_image_file(const std::string& path, const std::function<bool(std::ostream&)>& produce);

}  // namespace quillet
