// Writing output files under a temporary name and renaming them over their targets.
#include "platform/files/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::files {

bool (*output_file_before_rename)(const std::string& temp_path) = nullptr;

bool identity_of(const std::string& path, file_identity& out) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0)
    return false;
  out = {st.st_dev, st.st_ino};
  return true;
}

namespace {

// The permission bits of the new file: those of the plain file it replaces, else those of a
// new file (0666 less the umask).
mode_t mode_for(const std::string& target) {
  struct stat st;
  if (::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    return st.st_mode & 07777;
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool output_file::fail(int code) {
  error_ = std::strerror(code ? code : EIO);
  return false;
}

// A folder at the target is refused at once, as rename would refuse it at the end.
// mkostemp's name lies in the target's folder, so the rename stays within one file system.
// The content reaches the file through a writer thread (see background_file_buf.h).
bool output_file::open() {
  if (target_.empty())
    return fail(ENOENT);
  struct stat st;
  if (::lstat(target_.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    return fail(EISDIR);
  std::string temp = target_ + ".XXXXXX";
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0)
    return fail(errno);
  temp_ = std::move(temp);
  fd_ = fd;
  ::fchmod(fd_, mode_for(target_));
  buf_ = std::make_unique<background_file_buf>(fd_);
  stream_.rdbuf(buf_.get());
  return true;
}

// Lets the writer finish and closes the file; the errno of a failed close, else 0.
int output_file::close_file() {
  stream_.rdbuf(nullptr);
  buf_.reset();
  if (fd_ < 0)
    return 0;
  int code = ::close(fd_) == 0 ? 0 : errno;
  fd_ = -1;
  return code;
}

// Every byte is written and synced to the disk before the file counts as finished, so a
// crash after the rename cannot leave the target empty.
bool output_file::finish() {
  if (finished_)
    return true;
  if (temp_.empty() || fd_ < 0)
    return fail(EBADF);
  int code = buf_->close();
  if (code == 0 && !stream_.good())
    code = EIO;
  if (code == 0 && ::fsync(fd_) != 0)
    code = errno;
  const int closed = close_file();
  if (code == 0)
    code = closed;
  if (code != 0)
    return fail(code);
  finished_ = true;
  return true;
}

// rename() replaces a link at the target by the new file rather than writing through it.
bool output_file::commit() {
  if (!finish())
    return false;
  errno = 0;
  if (output_file_before_rename && !output_file_before_rename(temp_))
    return fail(errno);
  if (::rename(temp_.c_str(), target_.c_str()) != 0)
    return fail(errno);
  temp_.clear();
  return true;
}

void output_file::discard() {
  close_file();
  if (!temp_.empty())
    ::unlink(temp_.c_str());
  temp_.clear();
}

output_file* output_set::add(const std::string& target) {
  auto file = std::make_unique<output_file>(target);
  if (!file->open()) {
    error_ = "'" + target + "': " + file->error();
    return nullptr;
  }
  outputs_.push_back(std::move(file));
  return outputs_.back().get();
}

void output_set::drop(output_file* file) {
  std::erase_if(outputs_, [file](const std::unique_ptr<output_file>& f) { return f.get() == file; });
}

// Both the name's own entry and the file it leads to are noted, so that neither a link to an
// input nor the input itself is replaced.
void output_set::note_input(const std::string& path) {
  file_identity id;
  if (identity_of(path, id))
    inputs_.push_back(id);
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0)
    inputs_.push_back({st.st_dev, st.st_ino});
}

// The target's own entry is compared: a link there is replaced, not followed.
bool output_set::is_input(const std::string& target) const {
  struct stat st;
  if (::lstat(target.c_str(), &st) != 0)
    return false;
  file_identity id{st.st_dev, st.st_ino};
  for (const file_identity& input : inputs_)
    if (input == id)
      return true;
  return false;
}

// Every check comes before the first rename, so a refused run replaces nothing.
bool output_set::commit_all() {
  for (auto& file : outputs_) {
    if (is_input(file->target())) {
      error_ = "'" + file->target() + "': it is one of the run's inputs";
      discard_all();
      return false;
    }
    if (!file->finish()) {
      error_ = "'" + file->target() + "': " + file->error();
      discard_all();
      return false;
    }
  }
  for (auto& file : outputs_) {
    if (!file->commit()) {
      error_ = "'" + file->target() + "': " + file->error();
      discard_all();
      return false;
    }
  }
  outputs_.clear();
  return true;
}

void output_set::discard_all() {
  outputs_.clear();
}

}  // namespace quillet::files
