// Output files that never leave a half-written target: the content goes to a temporary file
// in the target's folder, and only a complete, flushed and synced file is renamed over the
// target. A link at the target is replaced, not followed; whatever was there before stays
// until the rename. Clean-up removes only the temporary files this object created.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/files/background_file_buf.h"

namespace quillet::files {

// The device and inode of a file, to tell whether two names reach the same file.
struct file_identity {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const file_identity&) const = default;
};

// The identity of the file a path reaches (links followed); false when there is none.
bool identity_of(const std::string& path, file_identity& out);

class output_file {
public:
  explicit output_file(std::string target) : target_(std::move(target)) {}
  ~output_file() { discard(); }
  output_file(const output_file&) = delete;
  output_file& operator=(const output_file&) = delete;

  // Creates the temporary file beside the target; false (see error()) when it cannot.
  bool open();
  std::ostream& stream() { return stream_; }
  // Flushes, syncs and closes the temporary file; false when any byte failed to reach it.
  bool finish();
  // Renames the finished temporary file over the target; false leaves the target as it was.
  bool commit();
  // Removes the temporary file unless it was committed.
  void discard();

  const std::string& target() const { return target_; }
  const std::string& temp_path() const { return temp_; }
  // The reason of the last failure, as strerror gives it.
  const std::string& error() const { return error_; }

private:
  bool fail(int code);

  int close_file();

  std::string target_;
  std::string temp_;
  int fd_ = -1;  // the temporary file, open until finished
  std::unique_ptr<background_file_buf> buf_;
  std::ostream stream_{nullptr};
  std::string error_;
  bool finished_ = false;
};

// The outputs of one run: each is written to its temporary file, and all are renamed over
// their targets at the end, or all discarded. Targets that are one of the run's inputs are
// refused before anything is renamed.
class output_set {
public:
  // A new output for `target`, opened; null (see error()) when it cannot be created.
  output_file* add(const std::string& target);
  // Removes one output of the set with its temporary file (a picture that failed).
  void drop(output_file* file);
  // Notes a file the run read, which no output may replace.
  void note_input(const file_identity& input) { inputs_.push_back(input); }
  void note_input(const std::string& path);
  // True when `target` reaches one of the noted inputs.
  bool is_input(const std::string& target) const;
  // Finishes every output, checks no target is an input, then renames each; false (see
  // error()) after discarding all that were not yet renamed.
  bool commit_all();
  // Removes every temporary file not yet renamed.
  void discard_all();
  // The failure of the last add or commit_all: the quoted target, a colon and the reason.
  const std::string& error() const { return error_; }

private:
  std::vector<std::unique_ptr<output_file>> outputs_;
  std::vector<file_identity> inputs_;
  std::string error_;
};

// A test seam: when set, called with the temporary path between finish and rename; a false
// return makes the commit fail as a failed rename would, with the errno it set (EIO when
// none).
extern bool (*output_file_before_rename)(const std::string& temp_path);

}  // namespace quillet::files
