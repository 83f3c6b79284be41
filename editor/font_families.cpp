// Font families from fontconfig.
#include "editor/font_families.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>

namespace quillet::editor {

std::vector<std::string> font_families() {
  std::vector<std::string> names;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* set = pattern && objects ? FcFontList(nullptr, pattern, objects) : nullptr;
  for (int i = 0; set && i < set->nfont; ++i) {
    FcChar8* family = nullptr;
    // A font may name its family in several languages; the first name is the usual one.
    if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family)
      names.emplace_back(reinterpret_cast<const char*>(family));
  }
  if (set)
    FcFontSetDestroy(set);
  if (objects)
    FcObjectSetDestroy(objects);
  if (pattern)
    FcPatternDestroy(pattern);
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace quillet::editor
