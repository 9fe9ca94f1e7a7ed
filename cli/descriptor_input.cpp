#include "cli/descriptor_input.h"

#include <unistd.h>

#include <cerrno>

namespace fbc {

DescriptorInput::int_type DescriptorInput::underflow() {
  if (gptr() < egptr()) {
    return traits_type::to_int_type(*gptr());
  }
  pending_.flush();
  for (;;) {
    const ssize_t got = ::read(fd_, buffer_, sizeof buffer_);
    if (got > 0) {
      setg(buffer_, buffer_, buffer_ + got);
      return traits_type::to_int_type(buffer_[0]);
    }
    if (got < 0 && errno == EINTR) {
      continue;
    }
    // The end, or an error that ends the input as the end would.
    return traits_type::eof();
  }
}

std::streamsize DescriptorInput::showmanyc() { return egptr() - gptr(); }

}  // namespace fbc
