// Diagnostic listings of the station solver: a station's profile table on the
// profile listing, and the equations, block system and profile of one Newton
// pass on the debug listing. Nothing here changes a value of the run.
#include "solver/boundary_layer/dumps.h"

#include <vector>

#include "solver/state/problem_state.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane::bl {
namespace {

using text::Format;
using text::Item;

// Listing formats of both dumps.
struct Listing {
  // Profile table (profile listing).
  Format profile_rule{"(/,100(1H=))"};
  Format profile_pass{"(4h IT=,i5,4h NX=,i5,5h   X=,e15.5,5h  UE=,e15.5,5h  ME=,e15.5,i5)"};
  Format profile_head3{
      "(5H    I,9x,3hETA,11x,4hDETA,12x,1hA,14x,1hF,14x,1hU,14x,1hV,14x,1hB,12x,4hCCRO)"};
  Format profile_dash3{"(125(1H-))"};
  Format profile_row3{"(I5,8E15.4)"};
  Format profile_end3{"(125(1H-),/)"};
  Format profile_rule5{"(170(1H=))"};
  Format profile_head5{
      "(5H    I,9x,3hETA,11x,4hDETA,12x,1hA,14x,1hF,14x,1hU,14x,1hV,14x,1hH,14x,1hG,14x,1hB,"
      "12x,4hCCRO,12x,3hTTE)"};
  Format profile_dash5{"(170(1H-))"};
  Format profile_row5{"(I5,14E15.4)"};
  Format profile_end5{"(170(1H-))"};

  // Block-system dump (debug listing).
  Format block_rule{"(/,125(1H=))"};
  Format block_pass{"(/,4h IT=,i5,4h NX=,i5,5h   X=,e15.5,5h  UE=,2e15.5,i5)"};
  Format eq_head3{"(/6h  j  k,6x,1hQ,10x,2hQp,10x,2hRQ,10x,4hdQdx,68x,5hdQpdx)"};
  Format eq_head5{"(/6h  j  k,6x,1hQ,10x,2hQp,10x,2hRQ,10x,4hdQdx,44x,5hdQpdx)"};
  Format eq_first{"(2i3,25E12.3)"};
  Format eq_other{"(3x,i3,25E12.3)"};
  Format sys_head3{
      "(/6h  j  k,6x,1hA,11x,1hA,11x,1hA,11x,1hB,11x,1hB,11x,1hB,11x,1hC,11x,1hC,11x,1hC,"
      "11x,1hR)"};
  Format sys_head5{
      "(/6h  j  k,6x,1hA,11x,1hA,11x,1hA,11x,1hA,11x,1hA,11x,1hB,11x,1hB,11x,1hB,11x,1hB,"
      "11x,1hB,11x,1hC,11x,1hC,11x,1hC,11x,1hC,11x,1hC,11x,1hR)"};
  Format sys_first{"(2i3,26E12.3)"};
  Format sys_other{"(3x,i3,25E12.3)"};
  Format station{
      "(/,4h IT=,i5,4h NX=,i5,5h   X=,e15.5,5h  UE=,e15.5,9h Roe/Ro8=,e15.5,9h Mue/Mu8=,"
      "e15.5)"};
  Format corrections{"(10x,7h dumax=,e15.5,i5,7h dhmax=,e15.5,i5)"};
  Format state_rule3{"(/,125(1H=))"};
  Format state_head3{
      "(5H    I,9x,3hETA,11x,4hDETA,12x,1hA,14x,1hF,14x,1hU,14x,1hV,14x,1hB,12x,4hCCRO,"
      "10x,6hT/TE-1)"};
  Format state_dash3{"(125(1H-))"};
  Format state_row3{"(I5,9E15.4)"};
  Format state_end3{"(125(1H-),/)"};
  Format state_rule5{"(/,170(1H=))"};
  Format state_head5{
      "(5H    I,9x,3hETA,11x,4hDETA,12x,1hA,14x,1hF,14x,1hU,14x,1hV,14x,1hH,14x,1hG,14x,1hB,"
      "12x,4hCCRO,10x, 6hT/TE-1)"};
  Format state_dash5{"(170(1H-))"};
  Format state_row5{"(I5,11E15.4)"};
  Format state_end5{"(170(1H-),/)"};
};

const Listing& listing() { return text::listing_table<Listing>(); }

// The column after CCRO of a profile table.
enum class LastColumn { kNone, kTte, kTteMinusOne };

// The table of level k on unit lu: its head and dash line, a row a grid
// point (ETA, DETA, A, F, U, V, with the energy variables H and G, B, CCRO,
// then the last column) and its end line.
void profile_table(int lu, const SurfaceRun& r, int k, bool energy, LastColumn last,
                   const Format& head, const Format& dash, const Format& row,
                   const Format& end) {
  text::Units& units = text::units();
  units.write(lu, head, {});
  units.write(lu, dash, {});
  std::vector<Item> items;
  items.reserve(12);
  for (int j = 1; j <= r.np; ++j) {
    items.assign({j, r.eta(j), r.deta(j), r.aa(j), r.f(k, j), r.u(k, j), r.v(k, j)});
    if (energy) {
      items.emplace_back(r.h(k, j));
      items.emplace_back(r.g(k, j));
    }
    items.emplace_back(r.b(k, j));
    items.emplace_back(r.ccro(k, j));
    if (last == LastColumn::kTte) items.emplace_back(r.tte(j));
    if (last == LastColumn::kTteMinusOne) items.emplace_back(r.tte(j) - 1.0);
    units.write(lu, row, items.data(), items.size());
  }
  units.write(lu, end, {});
}

}  // namespace

void BL_PRINT_PROFILE(SurfaceRun& r, int i, int k) {
  const Listing& L = listing();
  text::Units& units = text::units();
  const int lu = state().LUBLN;

  units.write(lu, L.profile_rule, {});
  units.write(lu, L.profile_pass, {r.k_iter, i, r.x(i), r.ue(i), r.eme(i)});
  if (r.neq <= 4) {
    profile_table(lu, r, k, false, LastColumn::kNone, L.profile_head3, L.profile_dash3,
                  L.profile_row3, L.profile_end3);
  } else {
    units.write(lu, L.profile_rule5, {});
    profile_table(lu, r, k, true, LastColumn::kTte, L.profile_head5, L.profile_dash5,
                  L.profile_row5, L.profile_end5);
  }
}

void BL_PRINT_BLOCK_SYSTEM(SurfaceRun& r, int i, int it, int k) {
  const Listing& L = listing();
  text::Units& units = text::units();
  const int lu = state().LUDEB;
  const int n = r.neq;
  std::vector<Item> items;
  items.reserve(static_cast<std::size_t>(3 * n + 4));
  // A line a row of every point: the point and the row number on its first
  // row (format `first`), the row number alone on the others (`other`), then
  // what fill(j, row) adds.
  auto rows_of_points = [&](const Format& first, const Format& other, auto fill) {
    for (int j = 1; j <= r.np; ++j) {
      for (int row = 1; row <= n; ++row) {
        items.clear();
        if (row == 1) items.emplace_back(j);
        items.emplace_back(row);
        fill(j, row);
        const Format& f = row == 1 ? first : other;
        units.write(lu, f, items.data(), items.size());
      }
    }
  };

  units.write(lu, L.block_rule, {});
  units.write(lu, L.block_pass, {it, i, r.x(i), r.ue(i)});

  // Station equations: q, qp, rq and the rows of their Jacobians.
  units.write(lu, n <= 4 ? L.eq_head3 : L.eq_head5, {});
  rows_of_points(L.eq_first, L.eq_other, [&](int j, int row) {
    items.emplace_back(r.q(row, j));
    items.emplace_back(r.qp(row, j));
    items.emplace_back(r.rq(row, j));
    for (int c = 1; c <= n; ++c) items.emplace_back(r.dqdx(row, c, j));
    for (int c = 1; c <= n; ++c) items.emplace_back(r.dqpdx(row, c, j));
  });

  // Block system: the rows of A, B, C, the right-hand side and, on the first
  // row of a point, the determinant of its diagonal block.
  units.write(lu, n <= 4 ? L.sys_head3 : L.sys_head5, {});
  rows_of_points(L.sys_first, L.sys_other, [&](int j, int row) {
    for (int c = 1; c <= n; ++c) items.emplace_back(r.amat(row, c, j));
    for (int c = 1; c <= n; ++c) items.emplace_back(r.bmat(row, c, j));
    for (int c = 1; c <= n; ++c) items.emplace_back(r.cmat(row, c, j));
    items.emplace_back(r.rvec(row, j));
    if (row == 1) items.emplace_back(r.det(j));
  });

  units.write(lu, L.block_rule, {});
  units.write(lu, L.station, {it, i, r.x(i), r.ue(i), r.roe8(i), r.emue8(i)});
  units.write(lu, L.corrections, {r.dumax, r.jumax, r.dhmax, r.jhmax});

  // Profile of the pass.
  if (n == 3) {
    units.write(lu, L.state_rule3, {});
    profile_table(lu, r, k, false, LastColumn::kTteMinusOne, L.state_head3, L.state_dash3,
                  L.state_row3, L.state_end3);
  } else {
    units.write(lu, L.state_rule5, {});
    profile_table(lu, r, k, true, LastColumn::kTteMinusOne, L.state_head5, L.state_dash5,
                  L.state_row5, L.state_end5);
  }
}

}  // namespace sorvane::bl
