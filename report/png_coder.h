// A thin object wrapper over libpng's writing functions. `png_coder` owns the library's
// write and info structures; the bytes go to its virtual `write`, which
// `png_stream_writer` sends to an output stream it does not own.
//
// A library error reaches the virtual `error`, which raises the message as a
// `const char*` exception; each operation below lets that exception out to its caller, who
// must catch it. The exception is never thrown through libpng's own frames: the callback
// catches it, leaves libpng by its long jump, and the operation rethrows it from our frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>

struct png_struct_def;
struct png_info_def;

namespace quillet {

// One palette entry as libpng lays it out: red, green, blue.
struct png_palette_entry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

class png_coder {
public:
  png_coder() = default;
  png_coder(const png_coder&) = delete;
  png_coder& operator=(const png_coder&) = delete;

  // Raises the message as a `const char*` exception; never returns. (Not marked noreturn,
  // so that an override that does return is still met by the callback's own exit.)
  virtual void error(const char* message);
  // Library warnings are ignored.
  virtual void warning(const char* message);
  // Receives encoded bytes; the base drops them.
  virtual void write(const std::uint8_t* data, std::size_t length);
  virtual void flush();
  virtual ~png_coder();

  // Creates the write and info structures and registers the callbacks; false when libpng
  // cannot create them.
  bool init();
  // The image header: interlace method 1 when `interlaced`, else 0; compression and filter
  // method 0.
  void set_header(std::uint32_t width, std::uint32_t height, int bit_depth, int color_type,
                  bool interlaced);
  void set_palette(int count, const png_palette_entry* entries);
  void write_info();
  // One row of packed pixel bytes.
  void write_row(const std::uint8_t* row);
  void write_end();

private:
  friend struct png_coder_callbacks;
  // Keeps a copy of a failure message (libpng may format it in a frame about to vanish).
  void remember(const char* message);
  [[noreturn]] void raise_remembered() const;
  void require_init() const;

  png_struct_def* write_ptr_ = nullptr;
  png_info_def* info_ptr_ = nullptr;
  char message_[160] = {};
};

class png_stream_writer : public png_coder {
public:
  explicit png_stream_writer(std::ostream& stream) : stream_(stream) {}
  // Writes the bytes unformatted; a stream that fails raises a write error, so that encoding
  // stops at the first lost byte instead of running on to a broken file.
  void write(const std::uint8_t* data, std::size_t length) override;
  // Flushes the stream; a failure only sets the stream's bad state.
  void flush() override;

private:
  std::ostream& stream_;
};

}  // namespace quillet
