// The standard descriptors 0, 1 and 2 at the start of a program. A program
// started with one of them closed (a shell's ">&-", a launcher that closes
// them) would hand that descriptor to the first file it opens: with
// standard output closed, the first listing would receive everything
// written to standard output as well.
#pragma once

#include <string>

namespace sorvane::text {

// What open_closed_standard_descriptors found and did.
struct StandardDescriptors {
  bool closedAtStart[3] = {false, false, false};  // descriptors 0, 1, 2
  // Empty, or why the null device could not be put on a closed descriptor
  // (that descriptor is then still closed).
  std::string error;
  bool ok() const { return error.empty(); }
};

// Opens the null device on each of descriptors 0, 1 and 2 that is closed,
// so that no file opened later takes one of them. To be called first thing
// in main, before anything opens a file. A standard output found closed is
// a lost standard output: the listing units report it ("cannot write
// standard output: Bad file descriptor") as soon as a record for it is
// dropped, as they report a standard output that fails later.
StandardDescriptors open_closed_standard_descriptors();

}  // namespace sorvane::text
