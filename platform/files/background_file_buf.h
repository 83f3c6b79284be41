// A stream buffer over an open file whose bytes reach the file from a thread of its own: the
// caller fills one block while the previous one is written, and the disk write of each block
// starts as soon as it is in the file (sync_file_range), so a sync at the end finds little
// left to wait for. A file smaller than the first block is written by the caller at sync or
// close, with no thread at all. The first block is small, so that a small file touches few
// pages; the blocks after it share a region backed by a huge page where there are any.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <streambuf>
#include <thread>

#include "platform/files/block_region.h"

namespace quillet::files {

class background_file_buf : public std::streambuf {
public:
  // Writes to `fd`, which stays open and owned by the caller.
  explicit background_file_buf(int fd);
  // Waits for the block being written, if any; what was not handed over is dropped.
  ~background_file_buf() override;
  background_file_buf(const background_file_buf&) = delete;
  background_file_buf& operator=(const background_file_buf&) = delete;

  // Writes everything put so far and ends the writer, waiting for both at once; the errno of
  // the first failed write, 0 when every byte reached the file. Nothing may be put after it.
  int close();
  // The errno of the first failed write, 0 while none failed.
  int error() const;

  static constexpr std::size_t first_block_size = std::size_t{64} << 10;
  static constexpr std::size_t block_size = block_region::size / 2;

protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  // Writes everything put so far and waits for it; -1 when any write failed.
  int sync() override;
  // Only the current position is known (tellp): the bytes put so far.
  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;

private:
  // Block 0 is the first; 1 and 2 are the halves of the region, filled in turn after it.
  // Null while not allocated.
  char* block(int which) const;
  std::size_t size_of(int which) const { return which == 0 ? first_block_size : block_size; }
  void allocate(int which);
  void fill(int which);
  bool hand_over(bool block_full);
  bool write_here(const char* data, std::size_t size);
  void wait_idle(std::unique_lock<std::mutex>& lock);
  void stop_writer();
  void run();

  int fd_;
  std::unique_ptr<char[]> first_block_;
  block_region region_;
  int filling_ = 0;              // the block the caller puts bytes into
  std::size_t handed_ = 0;       // bytes handed over before the current block
  std::thread writer_;
  bool thread_failed_ = false;   // no thread could be started: the caller writes
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  const char* pending_ = nullptr;  // the block the writer is to write, with its size
  std::size_t pending_size_ = 0;
  std::size_t written_ = 0;        // bytes in the file, for the write-out ranges
  bool stopping_ = false;
  int error_ = 0;
};

}  // namespace quillet::files
