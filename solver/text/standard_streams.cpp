// The standard descriptors 0, 1 and 2: the null device on any that is
// closed when the program starts.
#include "solver/text/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "solver/text/units.h"

namespace sorvane::text {

namespace {

const char* const kNames[3] = {"standard input", "standard output", "standard error"};

bool is_closed(int fd) { return ::fcntl(fd, F_GETFD) == -1 && errno == EBADF; }

}  // namespace

StandardDescriptors open_closed_standard_descriptors() {
  StandardDescriptors d;
  for (int fd = 0; fd <= 2; ++fd) {
    if (!is_closed(fd)) continue;
    d.closedAtStart[fd] = true;
    // open gives the lowest free descriptor: fd itself while the lower ones
    // are open, which the loop has seen to.
    const int got = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (got < 0) {
      if (d.error.empty())
        d.error = std::string(kNames[fd]) + " is closed and the null device cannot be opened " +
                  "in its place: " + std::strerror(errno);
      continue;
    }
    if (got != fd) {
      const bool moved = ::dup2(got, fd) == fd;
      const int err = errno;
      ::close(got);
      if (!moved && d.error.empty())
        d.error = std::string(kNames[fd]) + " is closed and the null device cannot be put " +
                  "in its place: " + std::strerror(err);
    }
  }
  if (d.closedAtStart[1]) units().standard_output_closed_at_start();
  return d;
}

}  // namespace sorvane::text
