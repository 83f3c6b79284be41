// The last picture a trend control drew, kept so that drawing the same picture again (a host
// draws once over black and once over the button face) is one copy instead of a new drawing.
// The picture owns its cairo image surface.
#pragma once

#include <cairo.h>

namespace quillet::trend {

class trend_picture {
public:
  trend_picture() = default;
  trend_picture(const trend_picture&) = delete;
  trend_picture& operator=(const trend_picture&) = delete;
  ~trend_picture() { forget(); }

  // Whether a picture of this size is kept.
  bool holds(int width, int height) const { return image_ && width_ == width && height_ == height; }
  // Drops the kept picture.
  void forget();
  // A new empty picture of the size to draw into (the caller destroys the context); null when
  // the size is refused or the memory is not there, and then nothing is kept.
  cairo_t* start(int width, int height);
  // Copies the kept picture onto the context with its top left corner at (left, top).
  void paint(cairo_t* cr, int left, int top) const;

private:
  cairo_surface_t* image_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace quillet::trend
