// Boundary-layer matrix tool: runs the boundary layer of one generated NACA
// four-digit section (or of a geometry file with its incidence changed) in
// a folder of its own and prints, per surface, one line of what the march
// gave against the independent laminar solution of the tests on the same
// edge velocity: the status, where the surface ended, where it turned
// turbulent against Michel's criterion on the reference, the rows that no
// layer could have, and the laminar errors in displacement thickness and
// skin friction. A test tool for measuring the march over many cases, not
// installed.
//
//   bl_matrix DIR MPTT ALPHA REMILL NPANELS [STATIONS [XTR]]
//   bl_matrix DIR --file FILE.dat ALPHA [REMILL [XTR]]
//
// XTR, where given, is the transition arc length of both surfaces of every
// element (beyond the surface: free transition).
//
// The listings are written in DIR (the station log on standard output goes
// to DIR/stdout.txt); the summary lines go to standard error.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "solver/boundary_layer/boundary_layer.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/boundary_layer/bl_cases.h"
#include "tests/boundary_layer/laminar_reference.h"
#include "tests/boundary_layer/possible_layer.h"
#include "tests/load_and_solve.h"

namespace {

using namespace sorvane;
using namespace sorvane::testing;

void write_text(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) {
    std::perror(path.c_str());
    std::exit(2);
  }
  std::fputs(text.c_str(), f);
  std::fclose(f);
}

std::string read_text(const std::string& path) {
  std::string out;
  FILE* f = std::fopen(path.c_str(), "r");
  if (!f) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: bl_matrix DIR MPTT ALPHA REMILL NPANELS | DIR --file FILE.dat ALPHA\n");
    return 1;
  }
  const std::string dir = argv[1];
  std::string name, text;
  if (std::string(argv[2]) == "--file") {
    const std::string path = argv[3];
    std::string src = read_text(path);
    // Record 2 (alpha first) is the fourth line.
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < src.size()) {
      std::size_t nl = src.find('\n', at);
      if (nl == std::string::npos) nl = src.size();
      lines.push_back(src.substr(at, nl - at));
      at = nl + 1;
    }
    lines[3].replace(0, 10, field10(std::atof(argv[4])));
    if (argc > 5) lines[5].replace(0, 10, field10(std::atof(argv[5])));
    if (argc > 6) {
      // Fields 8 and 9 of every position record (the line after its heading).
      for (std::size_t l = 1; l < lines.size(); ++l)
        if (lines[l - 1].compare(0, 10, "       XAX") == 0 && lines[l].size() >= 90) {
          lines[l].replace(70, 10, field10(std::atof(argv[6])));
          lines[l].replace(80, 10, field10(std::atof(argv[6])));
        }
    }
    for (const std::string& l : lines) text += l + "\n";
    name = path.substr(path.find_last_of('/') + 1);
    name = name.substr(0, name.size() - 4) + "_a" + argv[4];
    if (argc > 5) name += std::string("_re") + argv[5];
    if (argc > 6) name += std::string("_x") + argv[6];
  } else {
    if (argc < 6) return 1;
    const std::string digits = argv[2];
    NacaCase c = naca_section(digits, std::atof(argv[3]), std::atof(argv[4]), std::atoi(argv[5]));
    if (argc > 6) c.stations = std::atoi(argv[6]);
    if (argc > 7) c.xtru = c.xtrl = std::atof(argv[7]);
    text = naca_geometry(c);
    name = std::string("naca") + digits + "_a" + argv[3] + "_re" + argv[4] + "_p" + argv[5] +
           (argc > 6 ? std::string("_n") + argv[6] : std::string()) +
           (argc > 7 ? std::string("_x") + argv[7] : std::string());
  }
  if (chdir(dir.c_str()) != 0) {
    std::perror(dir.c_str());
    return 2;
  }
  write_text("case.dat", text);
  std::remove("stations.txt");
  if (!std::freopen("stdout.txt", "w", stdout)) return 2;
  const std::string failed = load_and_solve("case.dat");
  if (!failed.empty()) {
    std::fprintf(stderr, "%s solution failed: %s\n", name.c_str(), failed.c_str());
    return 3;
  }
  ProblemState& st = state();
  const double nu = 1.0 / (st.REMILL * 1e6);
  const Result inputs = check_boundary_layer_run();
  if (!inputs) {
    std::fprintf(stderr, "%s refused: %s\n", name.c_str(), inputs.message.c_str());
    return 4;
  }
  for (int e = 0; e < st.NELEM; ++e) {
    const Result split = SXR(e);
    for (int isurf = 0; isurf <= 1; ++isurf) {
      const int k = e + 1, sf = isurf + 1;
      const int nx = st.NX(k, sf);
      if (nx == 0) continue;
      std::vector<double> s, ue;
      for (int i = 1; i <= nx; ++i) {
        s.push_back(st.S(i, k, sf));
        ue.push_back(st.UE(i, k, sf));
      }
      const double ue_max = *std::max_element(ue.begin(), ue.end());
      const Result run = FOIL_BL2D(e, isurf);
      const int done = st.NXDONE(k, sf);
      // Stations shown by a stand-in, as the run's warning lists them.
      std::vector<bool> stand_in(nx + 2, false);
      int stand_ins = 0;
      for (const std::string& w : run.warnings)
        for (int j : stations_in_warning(w))
          if (j >= 1 && j <= nx) stand_in[j] = true, ++stand_ins;
      const double xtr = st.XTR(k, sf);
      int xtr_station = 0;
      for (int i = 1; i <= nx; ++i)
        if (st.S(i, k, sf) == xtr) xtr_station = i;
      int first_turbulent = 0;
      for (int i = 3; i <= done; ++i)
        if (st.S(i, k, sf) >= xtr && i > 3) {
          first_turbulent = i;
          break;
        }
      // Rows that no layer could have.
      int bad = 0, first_bad = 0;
      std::string bad_kind;
      for (int i = 3; i <= done; ++i) {
        const bool turbulent = i > 3 && st.S(i, k, sf) >= xtr;
        std::string why =
            impossible_layer(st.UE(i, k, sf), st.D1(i, k, sf), st.CF(i, k, sf), turbulent,
                             st.BELEM(k), ue_max, st.REMILL * 1e6, st.S(i, k, sf));
        if (why.empty()) why = impossible_thicknesses(st.D2(i, k, sf), st.H12(i, k, sf));
        if (!why.empty()) {
          if (!first_bad) {
            first_bad = i;
            bad_kind = why.substr(0, why.find(' '));
          }
          ++bad;
        }
      }
      // The independent laminar solution on the same edge velocity.
      LaminarReference ref;
      bool ref_ok = true;
      try {
        ref = laminar_reference(s, ue, nu);
      } catch (...) {
        ref_ok = false;
      }
      int michel = 0;
      double worst_d1 = 0, worst_cf = 0;
      int worst_d1_at = 0, worst_cf_at = 0, compared = 0;
      double sum_d1 = 0, sum_cf = 0;
      if (ref_ok) {
        for (std::size_t j = 1; j < ref.stations.size(); ++j) {
          if (!ref.stations[j].computed) break;
          if (michel_transition(ref.stations[j], nu)) {
            michel = static_cast<int>(j) + 1;
            break;
          }
        }
        const int last_lam = std::min({first_turbulent ? first_turbulent - 1 : done, done,
                                       michel ? michel : done});
        for (int i = 3; i <= last_lam; ++i) {
          const LaminarStation& l = ref.stations[i - 1];
          if (!l.computed || (ref.separated > 0 && i - 1 >= ref.separated)) break;
          if (stand_in[i]) continue;
          const double ed = st.D1(i, k, sf) / l.dstar - 1, ec = st.CF(i, k, sf) / l.cf - 1;
          if (std::fabs(ed) > std::fabs(worst_d1)) worst_d1 = ed, worst_d1_at = i;
          if (std::fabs(ec) > std::fabs(worst_cf)) worst_cf = ec, worst_cf_at = i;
          sum_d1 += std::fabs(ed);
          sum_cf += std::fabs(ec);
          ++compared;
        }
      }
      // Every computed station against the reference, for closer looks.
      if (FILE* f = std::fopen("stations.txt", "a")) {
        for (int i = 3; i <= done; ++i) {
          const bool lam = ref_ok && i - 1 < static_cast<int>(ref.stations.size()) &&
                           ref.stations[i - 1].computed;
          std::fprintf(f, "e%d s%d %d %.8e %.8e %.8e %.8e %d %.8e %.8e %.6e\n", k, sf, i,
                       st.S(i, k, sf), st.UE(i, k, sf), st.D1(i, k, sf), st.CF(i, k, sf),
                       i > 3 && st.S(i, k, sf) >= xtr ? 2 : 1, lam ? ref.stations[i - 1].dstar : 0.0,
                       lam ? ref.stations[i - 1].cf : 0.0,
                       st.REMILL * 1e6 * st.UE(i, k, sf) * st.S(i, k, sf));
        }
        std::fclose(f);
      }
      std::fprintf(stderr,
                   "%s e%d s%d ok=%d nx=%d done=%d xtr_st=%d turb=%d michel=%d refsep=%d "
                   "xinv=%.6g sarc=%.6g standins=%d bad=%d first_bad=%d kind=%s "
                   "worst_d1=%.4f@%d worst_cf=%.4f@%d mean_d1=%.4f mean_cf=%.4f n=%d warn=%zu "
                   "msg=\"%s\"",
                   name.c_str(), k, sf, run.ok ? 1 : 0, nx, done, xtr_station, first_turbulent,
                   michel, ref_ok ? ref.separated + 1 : -9, st.XINV(k, sf), s.back(), stand_ins, bad,
                   first_bad, bad_kind.empty() ? "-" : bad_kind.c_str(), worst_d1, worst_d1_at,
                   worst_cf, worst_cf_at, compared ? sum_d1 / compared : 0.0,
                   compared ? sum_cf / compared : 0.0, compared, run.warnings.size(),
                   run.ok ? "" : run.message.c_str());
      for (const std::string& w : run.warnings) std::fprintf(stderr, " warn=\"%s\"", w.c_str());
      std::fprintf(stderr, "\n");
    }
    (void)split;
  }
  text::units().close_all();
  text::units().flush_all();
  return 0;
}
