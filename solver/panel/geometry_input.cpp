// Placeholder until the geometry reader lands.
#include "solver/panel/geometry_input.h"
namespace sorvane {
LoadResult READ_GEOMETRY(GeoFileRecord&) { return {false, "not built yet"}; }
bool make_geo_record(const std::string&, GeoFileRecord&, std::string*) { return false; }
void GET_INPUT_NAME(int, std::string&, std::string&, const std::string&, int, char**) {}
}  // namespace sorvane
