// libFuzzer target: the geometry reader and the panel solution behind it.
//
// Each input is written as a geometry file into a scratch directory (the
// reader takes a path, and the listings are written beside the input),
// loaded with READ_GEOMETRY and, when it loads, solved with FOILPMG, as the
// window's Open does. Every input starts from a zeroed problem state, as a
// fresh program does, and leaves the scratch directory empty, so that an
// input that fails fails again on its own.
//
// The scratch directory is SORVANE_FUZZ_SCRATCH, or a new folder under the
// system's temporary directory; the process works inside it, so the listing
// the reader puts into the working directory (InputBl.out) lands there too.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"

namespace {

namespace fs = std::filesystem;

// The input's name inside the scratch directory (the working directory).
constexpr char kInputName[] = "fuzz.dat";

void remove_scratch_files() {
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(".", ec)) fs::remove_all(e.path(), ec);
}

// A zeroed problem state to start every input from; the elimination store
// is kept (the panel solution allocates it once per process).
void reset_state() {
  static const sorvane::ProblemState* const zero = new sorvane::ProblemState();
  sorvane::ProblemState& s = sorvane::state();
  std::vector<double> store;
  store.swap(s.c);
  s = *zero;
  s.c.swap(store);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string dir;
  if (const char* env = std::getenv("SORVANE_FUZZ_SCRATCH")) {
    dir = env;
    std::error_code ec;
    fs::create_directories(dir, ec);
  } else {
    std::string templ = (fs::temp_directory_path() / "sorvane_fuzz_XXXXXX").string();
    if (!mkdtemp(templ.data())) {
      std::perror("sorvane fuzz: cannot make a scratch directory");
      std::abort();
    }
    dir = templ;
  }
  if (chdir(dir.c_str()) != 0) {
    std::perror(("sorvane fuzz: cannot enter " + dir).c_str());
    std::abort();
  }
  remove_scratch_files();
  // The solution's records on standard output would drown libFuzzer's report.
  std::FILE* null = std::fopen("/dev/null", "w");
  if (null) sorvane::text::units().redirect_stdout(null);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sorvane;
  reset_state();
  {
    std::FILE* f = std::fopen(kInputName, "wb");
    if (!f) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
  }
  GeoFileRecord record;
  std::string error;
  if (!make_geo_record(kInputName, record, &error)) std::abort();
  const Result loaded = READ_GEOMETRY(record);
  if (loaded) {
    FOILPMG();
    // A solution either succeeds or names its fault.
    const ProblemState& s = state();
    if (s.SOLUTION_STATUS == SolutionStatus::kFailed && s.SOLUTION_MESSAGE.trimmed_length() == 0)
      std::abort();
    // A remark belongs to a valid solution only.
    if (s.SOLUTION_STATUS != SolutionStatus::kOk && s.SOLUTION_REMARK.trimmed_length() != 0)
      std::abort();
  } else if (loaded.message.empty()) {
    std::abort();  // a refused file must say why
  }
  text::units().close_all();
  remove_scratch_files();
  return 0;
}
