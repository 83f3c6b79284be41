// Image type dispatch, capture-and-write, and saving a whole image file safely.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "report/image_writers.h"

namespace quillet {

const char* image_extension(int image_type) {
  return image_type == image_type_bmp ? ".bmp" : ".png";
}

bool write_palette_image(int image_type, const gdi::palette_image& image, std::ostream& stream) {
  if (image_type == image_type_default)
    image_type = image_type_png;
  if (image_type == image_type_bmp)
    return write_bmp_image(image, stream);
  if (image_type == image_type_png)
    return write_png_image(image, stream);
  return false;
}

bool image_request_ok(int image_type, int bits_per_pixel) {
  const bool known_type =
      image_type == image_type_default || image_type == image_type_bmp || image_type == image_type_png;
  return known_type && (bits_per_pixel == 4 || bits_per_pixel == 8);
}

// Rejects a bad type or depth before capturing, so nothing is computed or written for them.
bool render_surface_image(int image_type, int bits_per_pixel, const gdi::drawing_surface& surface,
                          std::ostream& stream) {
  if (!image_request_ok(image_type, bits_per_pixel))
    return false;
  gdi::palette_image image;
  if (!gdi::capture_palette_image(surface, bits_per_pixel, image))
    return false;
  return write_palette_image(image_type, image, stream);
}

namespace {

// Runs the producer on the open temporary file and reports whether every byte was
// written and the file closed cleanly.
bool produce_into(const std::string& temp, const std::function<bool(std::ostream&)>& produce) {
  std::ofstream out(temp, std::ios::binary | std::ios::trunc);
  if (!out)
    return false;
  bool ok = produce(out);
  out.flush();
  out.close();
  return ok && !out.fail();
}

}  // namespace

// The temporary name is made unique by mkstemp in the target's folder, so the final rename
// stays within one file system and is atomic; the file gets the usual permissions of a new
// file rather than mkstemp's owner-only ones.
bool save_image_file(const std::string& path, const std::function<bool(std::ostream&)>& produce) {
  if (path.empty())
    return false;
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0)
    return false;
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  if (!produce_into(temp, produce) || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace quillet
