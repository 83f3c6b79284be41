// Loading label faces. Labels hold only digits, signs and time separators, which every DejaVu
// face has, so each face name is served by the DejaVu family of its kind, opened from its files
// through FreeType: pictures look the same on every machine, and no font configuration is
// scanned (that costs tens of milliseconds on the first use in a process, more than drawing a
// whole trend). Only when the DejaVu files are missing is the face looked up by name.
#include "platform/trend/trend_font.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <initializer_list>
#include <map>
#include <mutex>
#include <utility>

namespace quillet::trend {

namespace {

constexpr const char* fallback_face = "DejaVu Sans";
constexpr const char* font_folder = "/usr/share/fonts/truetype/dejavu/";

// A DejaVu family: the file name stem and the suffix of its slanted style.
struct family {
  const char* face;
  const char* stem;
  const char* slanted;
};
constexpr family families[] = {
    {"DejaVu Sans", "DejaVuSans", "Oblique"},
    {"DejaVu Serif", "DejaVuSerif", "Italic"},
    {"DejaVu Sans Mono", "DejaVuSansMono", "Oblique"},
};

// Face names reaching here are plain ASCII.
std::string lower(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool mentions(const std::string& name, std::initializer_list<const char*> words) {
  for (const char* w : words)
    if (name.find(w) != std::string::npos)
      return true;
  return false;
}

// The DejaVu family of a face's kind: the DejaVu family itself when named, fixed-pitch faces
// to the mono family, serif faces to the serif family, everything else to the sans family.
const family& family_of(const std::string& face) {
  const std::string name = lower(face);
  for (const family& f : families)
    if (name == lower(f.face))
      return f;
  if (mentions(name, {"mono", "courier", "console", "consolas", "fixed", "typewriter", "terminal"}))
    return families[2];
  if (mentions(name, {"sans"}))
    return families[0];
  if (mentions(name, {"serif", "times", "roman", "georgia", "garamond", "bookman", "palatino", "cambria",
                      "century", "book antiqua", "song", "ming"}))
    return families[1];
  return families[0];
}

// The file of a style: "DejaVuSans-BoldOblique.ttf", "DejaVuSerif-Italic.ttf", "DejaVuSans.ttf".
std::string file_of(const family& f, bool bold, bool slanted) {
  std::string name = std::string(font_folder) + f.stem;
  if (bold || slanted)
    name += "-";
  if (bold)
    name += "Bold";
  if (slanted)
    name += f.slanted;
  return name + ".ttf";
}

// Faces opened from files, kept for the life of the process (the cache holds their only
// references, so they are never freed; there are at most a dozen).
class face_cache {
public:
  // The face of a file with the styles to synthesise; null when the file cannot be opened.
  cairo_font_face_t* face(const std::string& file, unsigned synthesize) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto key = std::make_pair(file, synthesize);
    if (auto at = faces_.find(key); at != faces_.end())
      return at->second;
    cairo_font_face_t* made = open(file, synthesize);
    faces_[key] = made;
    return made;
  }

private:
  cairo_font_face_t* open(const std::string& file, unsigned synthesize) {
    if (!library_ && FT_Init_FreeType(&library_) != 0)
      library_ = nullptr;
    FT_Face ft = nullptr;
    if (!library_ || FT_New_Face(library_, file.c_str(), 0, &ft) != 0)
      return nullptr;
    cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(ft, 0);
    if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
      cairo_font_face_destroy(face);
      FT_Done_Face(ft);
      return nullptr;
    }
    cairo_ft_font_face_set_synthesize(face, synthesize);
    return face;
  }

  std::mutex mutex_;
  FT_Library library_ = nullptr;
  std::map<std::pair<std::string, unsigned>, cairo_font_face_t*> faces_;
};

face_cache& cache() {
  static face_cache* faces = new face_cache;
  return *faces;
}

// The face of a DejaVu style: its own file, else a file of the family without the slant, the
// weight or both, with what is missing synthesised; null when no file of the family is there.
cairo_font_face_t* family_face(const family& f, bool bold, bool slanted) {
  struct attempt {
    bool bold, slanted;
    unsigned synthesize;
  };
  const unsigned oblique = slanted ? unsigned{CAIRO_FT_SYNTHESIZE_OBLIQUE} : 0u;
  const unsigned heavy = bold ? unsigned{CAIRO_FT_SYNTHESIZE_BOLD} : 0u;
  const attempt attempts[] = {
      {bold, slanted, 0},
      {bold, false, oblique},
      {false, slanted, heavy},
      {false, false, oblique | heavy},
  };
  for (const attempt& a : attempts)
    if (cairo_font_face_t* face = cache().face(file_of(f, a.bold, a.slanted), a.synthesize))
      return face;
  return nullptr;
}

}  // namespace

std::string label_face(const logfont& font) {
  std::string face;
  for (char c : font.lfFaceName) {
    if (c == 0)
      break;
    if (c < 0x20 || c > 0x7E)
      return fallback_face;
    face.push_back(c);
  }
  return face.empty() ? fallback_face : face;
}

double label_pixel_size(const logfont& font) {
  const std::int64_t h = font.lfHeight;
  const double px = h < 0 ? static_cast<double>(-h) : h > 0 ? static_cast<double>(h) * 0.86 : 12.0;
  return std::clamp(px, 6.0, 72.0);
}

const char* label_family(const std::string& face) { return family_of(face).face; }

void use_label_font(cairo_t* cr, const logfont& font) {
  const std::string face = label_face(font);
  const bool bold = font.lfWeight >= 600;
  const bool slanted = font.lfItalic != 0;
  cairo_set_font_size(cr, label_pixel_size(font));
  if (cairo_font_face_t* loaded = family_face(family_of(face), bold, slanted)) {
    cairo_set_font_face(cr, loaded);
    return;
  }
  cairo_select_font_face(cr, face.c_str(), slanted ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
}

}  // namespace quillet::trend
