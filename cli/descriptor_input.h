#pragma once

#include <ostream>
#include <streambuf>

namespace fbc {

// Reads a file descriptor (standard input) in whatever pieces arrive, so that a batch fed
// through a pipe is designed row by row as the rows come rather than once a buffer is full.
// Before it waits for more input it flushes `pending`, so the rows designed so far reach the
// reader at the other end of the output.
class DescriptorInput : public std::streambuf {
 public:
  DescriptorInput(int fd, std::ostream& pending) : fd_(fd), pending_(pending) {}

 protected:
  int_type underflow() override;
  std::streamsize showmanyc() override;

 private:
  int fd_;
  std::ostream& pending_;
  char buffer_[65536];
};

}  // namespace fbc
