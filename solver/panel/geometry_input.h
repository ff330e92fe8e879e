// Loading a configuration: the geometry input file and the listing units.
#pragma once

#include <cstdint>
#include <string>

#include "solver/state/result.h"

namespace sorvane {

// Argument of READ_GEOMETRY, passed by reference; fields in this order.
struct GeoFileRecord {
  std::int32_t pathLength;  // in: characters of the path
  std::int32_t outLength;   // out: length of outName (last "." + 3; 3 without ".")
  char path[80];            // in: the path, NUL-ended when shorter than 80
  char outName[92];         // out: path up to its last "." then "out" and NUL
};

// Reads the geometry file named by record.path into the problem state, derives
// the listing names and opens the listings. The whole file is read and checked
// before anything is committed to the state or any listing is opened. The
// result is ok, or fails with one message naming the file, the line, the
// record and the fault; a failed load leaves the problem state untouched.
[[nodiscard]] Result READ_GEOMETRY(GeoFileRecord& record);

// Fills a record from a path (pathLength, path); false when the path does not
// fit the record's 80 characters.
bool make_geo_record(const std::string& path, GeoFileRecord& record, std::string* error);

// Not called by the program. With flag 1 takes the name from the first
// command-line argument (argc/argv) or asks for it on standard input; an empty
// name becomes "fpg.dat", one without "." gets ".dat". For any flag then
// writes into outName the name up to and including its first "." followed by
// the non-blank part of extension.
void GET_INPUT_NAME(int flag, std::string& name, std::string& outName,
                    const std::string& extension, int argc = 0, char** argv = nullptr);

}  // namespace sorvane
