// The writer thread and the hand-over of blocks between it and the caller.
#include "platform/files/background_file_buf.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace quillet::files {

background_file_buf::background_file_buf(int fd) : fd_(fd) {}

background_file_buf::~background_file_buf() { stop_writer(); }

// The writer finishes the block it was given, if any, and ends.
void background_file_buf::stop_writer() {
  if (!writer_.joinable())
    return;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  writer_.join();
}

// The last block is handed over with the word to stop, so the caller waits for the writer
// once rather than for the block and then for the thread's end.
int background_file_buf::close() {
  const bool handed = !pbase() || hand_over(false);
  stop_writer();
  setp(nullptr, nullptr);
  const int code = error();
  return code != 0 || handed ? code : EIO;
}

int background_file_buf::error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

// Writes a whole block where it is called; the first failure is kept and ends all writing.
// Its disk write starts at once: the file's pages are then on their way while the caller
// goes on.
bool background_file_buf::write_here(const char* data, std::size_t size) {
  const std::size_t start = written_;
  while (size > 0) {
    ssize_t n = ::write(fd_, data, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      int code = n < 0 ? errno : EIO;
      std::lock_guard lock(mutex_);
      error_ = code;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
    written_ += static_cast<std::size_t>(n);
  }
  ::sync_file_range(fd_, static_cast<off_t>(start), static_cast<off_t>(written_ - start), SYNC_FILE_RANGE_WRITE);
  return true;
}

void background_file_buf::wait_idle(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return pending_ == nullptr; });
}

// The writer: one block at a time, until told to stop with nothing pending.
void background_file_buf::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return pending_ != nullptr || stopping_; });
    if (!pending_)
      return;
    const char* data = pending_;
    std::size_t size = pending_size_;
    bool failed = error_ != 0;
    lock.unlock();
    if (!failed)
      write_here(data, size);
    lock.lock();
    pending_ = nullptr;
    changed_.notify_all();
  }
}

// Passes the bytes put so far to the writer and goes on in the other block. The writer starts
// with the first full block (`block_full`); before that, and when no thread can be started,
// the caller writes them itself. False once a write failed.
bool background_file_buf::hand_over(bool block_full) {
  const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
  if (size == 0)
    return error() == 0;
  if (block_full && !writer_.joinable() && !thread_failed_) {
    try {
      writer_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
      thread_failed_ = true;
    }
  }
  char* full = pbase();
  handed_ += size;
  if (!writer_.joinable()) {
    fill(filling_);
    return write_here(full, size);
  }
  {
    std::unique_lock lock(mutex_);
    wait_idle(lock);
    if (error_ != 0)
      return false;
    pending_ = full;
    pending_size_ = size;
  }
  changed_.notify_all();
  fill(filling_ == 1 ? 2 : 1);
  return true;
}

char* background_file_buf::block(int which) const {
  if (which == 0)
    return first_block_.get();
  return region_ ? region_.data() + static_cast<std::size_t>(which - 1) * block_size : nullptr;
}

void background_file_buf::allocate(int which) {
  if (which == 0)
    first_block_.reset(new char[first_block_size]);
  else
    region_ = block_region::map();
}

// Puts the next bytes into that block; while it is not allocated, the put area stays empty,
// so that the next byte comes to overflow, which allocates it.
void background_file_buf::fill(int which) {
  filling_ = which;
  char* start = block(which);
  setp(start, start ? start + size_of(which) : nullptr);
}

// Hands the full block over and makes room in the next, which the first byte and the first
// after the first block's hand-over allocate.
background_file_buf::int_type background_file_buf::overflow(int_type c) {
  if (pbase() && !hand_over(true))
    return traits_type::eof();
  if (!pbase()) {
    if (!block(filling_))
      allocate(filling_);
    fill(filling_);
  }
  if (traits_type::eq_int_type(c, traits_type::eof()))
    return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

std::streamsize background_file_buf::xsputn(const char* s, std::streamsize n) {
  std::streamsize done = 0;
  while (done < n) {
    if (pptr() == epptr() && traits_type::eq_int_type(overflow(traits_type::eof()), traits_type::eof()))
      return done;
    std::streamsize room = epptr() - pptr();
    std::streamsize part = n - done < room ? n - done : room;
    std::memcpy(pptr(), s + done, static_cast<std::size_t>(part));
    pbump(static_cast<int>(part));
    done += part;
  }
  return done;
}

int background_file_buf::sync() {
  if (pbase() && !hand_over(false))
    return -1;
  if (writer_.joinable()) {
    std::unique_lock lock(mutex_);
    wait_idle(lock);
  }
  return error() == 0 ? 0 : -1;
}

background_file_buf::pos_type background_file_buf::seekoff(off_type off, std::ios_base::seekdir dir,
                                                           std::ios_base::openmode which) {
  if (off != 0 || dir != std::ios_base::cur || !(which & std::ios_base::out))
    return pos_type(off_type(-1));
  return pos_type(static_cast<off_type>(handed_ + static_cast<std::size_t>(pptr() - pbase())));
}

}  // namespace quillet::files
