// libpng behind `png_coder`: creation, the callbacks and one forward per operation.
#include "report/png_coder.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace quillet {

static_assert(sizeof(png_palette_entry) == sizeof(png_color));

// The functions libpng calls back. Each runs the coder's virtual operation inside a catch,
// keeps the message of whatever it raised, and leaves libpng by its long jump, which lands
// in the operation that called into the library (or in libpng's own creation frame). No
// exception crosses a libpng frame, and our frames the jump skips hold no objects with
// destructors.
struct png_coder_callbacks {
  static png_coder* of_error(png_structp png) { return static_cast<png_coder*>(png_get_error_ptr(png)); }
  static png_coder* of_io(png_structp png) { return static_cast<png_coder*>(png_get_io_ptr(png)); }

  // Runs a coder operation from inside libpng; returns only when it raised nothing.
  template <class F>
  static void guarded(png_structp png, png_coder* coder, F&& operation) {
    bool failed = false;
    try {
      operation();
    } catch (const char* message) {
      coder->remember(message);
      failed = true;
    } catch (...) {
      coder->remember("unexpected failure in the image writer");
      failed = true;
    }
    if (failed)
      png_longjmp(png, 1);
  }

  static void on_error(png_structp png, png_const_charp message) {
    png_coder* coder = of_error(png);
    guarded(png, coder, [&] { coder->error(message); });
    // An overriding `error` that returned: libpng must not be resumed after an error.
    coder->remember(message);
    png_longjmp(png, 1);
  }
  static void on_warning(png_structp png, png_const_charp message) {
    png_coder* coder = of_error(png);
    guarded(png, coder, [&] { coder->warning(message); });
  }
  static void on_read(png_structp png, png_bytep, png_size_t) {
    png_coder* coder = of_io(png);
    guarded(png, coder, [&] { coder->error("not readable"); });
  }
  static void on_write(png_structp png, png_bytep data, png_size_t length) {
    png_coder* coder = of_io(png);
    guarded(png, coder, [&] { coder->write(data, length); });
  }
  static void on_flush(png_structp png) {
    png_coder* coder = of_io(png);
    guarded(png, coder, [&] { coder->flush(); });
  }
};

void png_coder::error(const char* message) { throw message; }
void png_coder::warning(const char*) {}
void png_coder::write(const std::uint8_t*, std::size_t) {}
void png_coder::flush() {}

png_coder::~png_coder() {
  if (write_ptr_)
    png_destroy_write_struct(&write_ptr_, &info_ptr_);
}

void png_coder::remember(const char* message) {
  std::strncpy(message_, message ? message : "", sizeof message_ - 1);
  message_[sizeof message_ - 1] = '\0';
}

void png_coder::raise_remembered() const {
  throw static_cast<const char*>(message_);
}

void png_coder::require_init() const {
  if (!write_ptr_ || !info_ptr_)
    throw "image writer not initialised";
}

// Creates the structures once. The version passed is the one we were built against: libpng
// refuses to create a structure for an application that names an older series.
bool png_coder::init() {
  if (!write_ptr_) {
    write_ptr_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, png_coder_callbacks::on_error,
                                         png_coder_callbacks::on_warning);
    if (!write_ptr_)
      return false;
    // Reading is registered first and then replaced by writing, so only writing is possible.
    png_set_read_fn(write_ptr_, this, png_coder_callbacks::on_read);
    png_set_write_fn(write_ptr_, this, png_coder_callbacks::on_write, png_coder_callbacks::on_flush);
  }
  if (!info_ptr_)
    info_ptr_ = png_create_info_struct(write_ptr_);
  return info_ptr_ != nullptr;
}

void png_coder::set_header(std::uint32_t width, std::uint32_t height, int bit_depth,
                           int color_type, bool interlaced) {
  require_init();
  if (setjmp(png_jmpbuf(write_ptr_)))
    raise_remembered();
  png_set_IHDR(write_ptr_, info_ptr_, width, height, bit_depth, color_type,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
}

void png_coder::set_palette(int count, const png_palette_entry* entries) {
  require_init();
  if (setjmp(png_jmpbuf(write_ptr_)))
    raise_remembered();
  png_set_PLTE(write_ptr_, info_ptr_, reinterpret_cast<png_const_colorp>(entries), count);
}

void png_coder::write_info() {
  require_init();
  if (setjmp(png_jmpbuf(write_ptr_)))
    raise_remembered();
  png_write_info(write_ptr_, info_ptr_);
}

void png_coder::write_row(const std::uint8_t* row) {
  require_init();
  if (setjmp(png_jmpbuf(write_ptr_)))
    raise_remembered();
  png_write_row(write_ptr_, row);
}

void png_coder::write_end() {
  require_init();
  if (setjmp(png_jmpbuf(write_ptr_)))
    raise_remembered();
  png_write_end(write_ptr_, info_ptr_);
}

void png_stream_writer::write(const std::uint8_t* data, std::size_t length) {
  stream_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(length));
  if (!stream_)
    error("write error");
}

void png_stream_writer::flush() { stream_.flush(); }

}  // namespace quillet
