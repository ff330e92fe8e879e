// Similarity start of a surface run: stretched grid, cubic start profile and
// Newton passes of Keller's box scheme, each pass solved by a block
// elimination written out in closed form for the sparse 3 by 3 blocks of
// this system, and tabled on "init2d.OUT". The full-block form of the same
// system (general 3 by 3 blocks through the small matrix kit) is kept beside
// it as a check of the closed form.
//
// Choices made here:
//
// * A point count outside 2..821 is refused before anything is written (the
//   first spacing divides by np - 1, and the arrays hold 821 points); so is a
//   growth ratio or an outer edge that is not a positive finite number (a
//   zero or negative spacing, or a zero edge, divides by zero further on).
//   "init2d.OUT" is opened first, as for every call, and receives nothing.
// * A pass whose correction is not a finite number ends the passes and the
//   call returns false, instead of leaving a non-finite profile behind as a
//   converged one (a NaN would pass the convergence test).
// * When "init2d.OUT" cannot be opened the solution is still computed; the
//   tables are lost and a line on standard output says so.
#include "solver/boundary_layer/similarity_start.h"

#include <cmath>
#include <string>

#include "solver/boundary_layer/matrix_inv.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane::bl {
namespace {

// Listing of the passes, unit 169 on "init2d.OUT".
constexpr int kTableUnit = 169;
const char* const kTableFile = "init2d.OUT";
struct PassFormats {
  text::Format passHead{
      "(30H  J         ETA              F,45H              U              V          DELV )"};
  text::Format passRow{"(I3,5F15.6)"};
};

const PassFormats& formats() { return text::listing_table<PassFormats>(); }

// 0.001 in single precision: the growth ratio counts as uniform up to 1 plus this.
constexpr double kUniformRatio = 0.0010000000474974513;

// x^n for n >= 0 by repeated squaring, in the order of the runtime's integer
// power, so the grid's first spacing has the same rounding.
double int_power(double x, int n) {
  unsigned int k = static_cast<unsigned int>(n);
  double y = (k % 2) ? x : 1.0;
  while (k >>= 1) {
    x = x * x;
    if (k % 2) y = y * x;
  }
  return y;
}

bool positive_finite(double x) { return std::isfinite(x) && x > 0.0; }

// First spacing of the stretched grid: uniform up to a ratio of 1.001,
// geometric above it.
double first_spacing(int np, double vgp, double etae) {
  return (vgp - 1.0 <= kUniformRatio) ? etae / (np - 1)
                                      : (vgp - 1.0) * etae / (int_power(vgp, np - 1) - 1.0);
}

void write_pass_table(Init2d& m, int np) {
  text::Units& out = text::units();
  out.write(kTableUnit, formats().passHead, {});
  VecView eta = m.eta_sim.view(), f = m.f_sim.view(), u = m.u_sim.view(), v = m.v_sim.view(),
          dv = m.delv.view();
  for (int j = 1; j <= np; ++j)
    out.write(kTableUnit, formats().passRow, {j, eta(j), f(j), u(j), v(j), dv(j)});
}

}  // namespace

Init2d::Init2d() {
  for (Table1<double>* t : {&eta_sim, &deta_sim, &a_sim, &f_sim, &u_sim, &v_sim, &s1, &s2, &s3,
                            &s4, &s5, &s6, &r1, &r2, &r3, &delf, &delu, &delv, &d11, &d12, &d13,
                            &d21, &d22, &d23, &w1, &w2}) {
    t->make(kSimPoints);
  }
}

bool INIT2D_GRID(int np, int nmax, double vgp, double etae, Table1<double>& deta,
                 Table1<double>& eta, Table1<double>& a) {
  if (np < 2 || np > nmax) return false;
  if (nmax > deta.size() || nmax > eta.size() || nmax > a.size())
    internal_fault("the similarity grid is longer than its arrays");
  const double first = first_spacing(np, vgp, etae);
  VecView d = deta.view(), e = eta.view(), h = a.view();
  double dprev = first, eprev = 0.0;  // point j-1, carried in locals
  d(1) = dprev;
  e(1) = eprev;
  for (int j = 2; j <= nmax; ++j) {
    const double dj = vgp * dprev;
    const double ej = eprev + dprev;
    d(j) = dj;
    e(j) = ej;
    h(j) = dprev / 2.0;
    dprev = dj;
    eprev = ej;
  }
  return true;
}

bool similarity_grid_usable(int np, double vgp, double etae) {
  if (np < 2 || np > kSimPoints || !positive_finite(vgp) || !positive_finite(etae)) return false;
  // The spacings of points 1..np by the recurrence of INIT2D_GRID.
  double d = first_spacing(np, vgp, etae), edge = 0.0;
  for (int j = 1; j < np; ++j) {
    if (!positive_finite(d) || !std::isfinite(1.0 / d)) return false;
    edge += d;
    d *= vgp;
  }
  return std::isfinite(edge);
}

void INIT2D_START_PROFILE(int np, Table1<double>& eta, Table1<double>& f, Table1<double>& u,
                          Table1<double>& v) {
  VecView e = eta.view(), F = f.view(), U = u.view(), V = v.view();
  const double en = e(np);
  for (int j = 1; j <= np; ++j) {
    const double z = e(j) / en;
    const double z2 = z * z;
    F(j) = (en / 4.0) * z2 * (3.0 - z2 / 2.0);
    U(j) = z * (3.0 - z2) / 2.0;
    V(j) = 1.5 * (1.0 - z2) / en;
  }
}

void INIT2D_COEF(Init2d& m, double p1, double p2, int np, Table1<double>& deta,
                 Table1<double>& f, Table1<double>& u, Table1<double>& v) {
  VecView D = deta.view(), F = f.view(), U = u.view(), V = v.view();
  VecView s1 = m.s1.view(), s2 = m.s2.view(), s3 = m.s3.view(), s4 = m.s4.view(),
          s5 = m.s5.view(), s6 = m.s6.view(), r1 = m.r1.view(), r2 = m.r2.view(),
          r3 = m.r3.view();
  for (int j = 2; j <= np; ++j) {
    const double h = D(j - 1);
    const double fm = (F(j) + F(j - 1)) / 2.0;
    const double um = (U(j) + U(j - 1)) / 2.0;
    const double vm = (V(j) + V(j - 1)) / 2.0;
    s1(j) = 1.0 / h + p1 * fm / 2.0;
    s2(j) = -1.0 / h + p1 * fm / 2.0;
    s3(j) = p1 * vm / 2.0;
    s4(j) = s3(j);
    s5(j) = -p2 * um;
    s6(j) = s5(j);
    r1(j) = F(j - 1) - F(j) + h * um;
    r2(j) = -((V(j) - V(j - 1)) / h + p1 * fm * vm + p2 * (1.0 - um * um));
    r3(j - 1) = U(j - 1) - U(j) + h * vm;
  }
  r1(1) = 0.0;
  r2(1) = 0.0;
  r3(np) = 0.0;
}

// Row j of the system is B(j) d(j-1) + A(j) d(j) + E(j) d(j+1) = r(j) with
//   A(1) = [1 0 0; 0 1 0; 0 -1 -a2],  A(j) = [1 -aj 0; s3 s5 s1; 0 -1 -a(j+1)],
//   A(N) = [1 -aN 0; s3 s5 s1; 0 1 0],
//   B(j) = [-1 -aj 0; s4 s6 s2; 0 0 0],  E(j) = [0 0 0; 0 0 0; 0 1 -a(j+1)].
// Forward: Delta(j) = A(j) - G(j) E(j-1), G(j) Delta(j-1) = B(j),
// w(j) = r(j) - G(j) w(j-1). G(j) has a zero third row and Delta(j) keeps
// the third row of A(j), so only their first two rows are formed.
void INIT2D_BLOCK_SOLVE(Init2d& m, int np, Table1<double>& a, Table1<double>& f,
                        Table1<double>& u, Table1<double>& v) {
  VecView A = a.view(), F = f.view(), U = u.view(), V = v.view();
  VecView s1 = m.s1.view(), s2 = m.s2.view(), s3 = m.s3.view(), s4 = m.s4.view(),
          s5 = m.s5.view(), s6 = m.s6.view(), r1 = m.r1.view(), r2 = m.r2.view(),
          r3 = m.r3.view();
  VecView d11 = m.d11.view(), d12 = m.d12.view(), d13 = m.d13.view(), d21 = m.d21.view(),
          d22 = m.d22.view(), d23 = m.d23.view(), w1 = m.w1.view(), w2 = m.w2.view();
  VecView df = m.delf.view(), du = m.delu.view(), dv = m.delv.view();

  // Delta(1) = A(1), w(1) = r(1). The rows of point j-1 are carried from
  // one point to the next in locals; the arrays are only written here (a
  // loop that reads back at j what it stored at j-1 through other pointers
  // is miscompiled by the loop distribution of GCC 12 at -O3).
  double p11 = 1.0, p12 = 0.0, p13 = 0.0;
  double p21 = 0.0, p22 = 1.0, p23 = 0.0;
  double wa = r1(1), wb = r2(1);
  d11(1) = p11;
  d12(1) = p12;
  d13(1) = p13;
  d21(1) = p21;
  d22(1) = p22;
  d23(1) = p23;
  w1(1) = wa;
  w2(1) = wb;

  for (int j = 2; j <= np; ++j) {
    const double aj = A(j);  // the third row of Delta(j-1) is (0, -1, -aj)
    // G Delta(j-1) = B(j), row by row: the second column gives
    // g3 = g1 p12 + g2 p22 - b2, which leaves for g1, g2
    //   g1 p11 + g2 p21 = b1,
    //   g1 (p13 - aj p12) + g2 (p23 - aj p22) = b3 - aj b2.
    const double q1 = p13 - aj * p12;
    const double q2 = p23 - aj * p22;
    const double den = p11 * q2 - p21 * q1;
    // First row of B(j): (-1, -aj, 0).
    const double b11 = -1.0, b12 = -aj, c1 = aj * aj;  // c1 = b13 - aj b12
    const double g11 = (b11 * q2 - p21 * c1) / den;
    const double g12 = (p11 * c1 - q1 * b11) / den;
    const double g13 = g11 * p12 + g12 * p22 - b12;
    // Second row of B(j): (s4, s6, s2).
    const double b21 = s4(j), b22 = s6(j), c2 = s2(j) - aj * s6(j);
    const double g21 = (b21 * q2 - p21 * c2) / den;
    const double g22 = (p11 * c2 - q1 * b21) / den;
    const double g23 = g21 * p12 + g22 * p22 - b22;
    // w(j) = r(j) - G(j) w(j-1); the third entry of w(j-1) is r3(j-1).
    const double wc = r3(j - 1);
    const double na = r1(j) - (g11 * wa + g12 * wb + g13 * wc);
    const double nb = r2(j) - (g21 * wa + g22 * wb + g23 * wc);
    wa = na;
    wb = nb;
    // Delta(j) = A(j) - G(j) E(j-1), E(j-1) = third row (0, 1, -aj).
    p11 = 1.0;
    p12 = -aj - g13;
    p13 = aj * g13;
    p21 = s3(j);
    p22 = s5(j) - g23;
    p23 = s1(j) + aj * g23;
    d11(j) = p11;
    d12(j) = p12;
    d13(j) = p13;
    d21(j) = p21;
    d22(j) = p22;
    d23(j) = p23;
    w1(j) = wa;
    w2(j) = wb;
  }

  // Back: Delta(j) d(j) + E(j) d(j+1) = w(j). At N the third row of A(N)
  // gives du(N); the first two rows leave a 2 by 2 system for df, dv.
  // (du, dv of point j+1 carried in locals, as above.)
  double u_next = r3(np), v_next;
  {
    const int n = np;
    const double b1 = w1(n) - d12(n) * u_next;
    const double b2 = w2(n) - d22(n) * u_next;
    v_next = (d11(n) * b2 - d21(n) * b1) / (d11(n) * d23(n) - d21(n) * d13(n));
    du(n) = u_next;
    dv(n) = v_next;
    df(n) = (w1(n) - d12(n) * u_next - d13(n) * v_next) / d11(n);
  }
  for (int j = np - 1; j >= 1; --j) {
    const double an = A(j + 1);
    // Third row: -du(j) - an dv(j) + du(j+1) - an dv(j+1) = r3(j).
    const double t = r3(j) - u_next + an * v_next;
    const double a11 = d11(j), a12 = d12(j), a13 = d13(j);
    const double a21 = d21(j), a22 = d22(j), a23 = d23(j);
    const double w_1 = w1(j), w_2 = w2(j);
    const double vj = (a11 * (w_2 + a22 * t) - a21 * (w_1 + a12 * t)) /
                      (a11 * (a23 - an * a22) - a21 * (a13 - an * a12));
    const double uj = -t - an * vj;
    df(j) = (w_1 - a12 * uj - a13 * vj) / a11;
    du(j) = uj;
    dv(j) = vj;
    u_next = uj;
    v_next = vj;
  }

  for (int j = 1; j <= np; ++j) {
    F(j) += df(j);
    U(j) += du(j);
    V(j) += dv(j);
  }
  U(1) = 0.0;
}

bool INIT2D(Init2d& m, int np, double vgp, double etae, int flag) {
  // Every call connects the table unit; the first call of the process
  // replaces the file, later ones append to it. A file that cannot be
  // created is kept as a failure of the unit, which the caller of the run
  // reports with the other listings; the similarity start goes on.
  (void)text::units().open_keep(kTableUnit, kTableFile, nullptr);

  if (np < 2 || np > kSimPoints || !positive_finite(vgp) || !positive_finite(etae)) return false;

  m.block_order = 3;
  m.pass_limit = 20;
  if (flag != 0) {
    m.p1 = 1.0;
    m.p2 = 1.0;
  } else {
    m.p1 = 0.5;
    m.p2 = 0.0;
  }
  m.tolerance = 9.999999974752427e-07;

  if (!INIT2D_GRID(np, kSimPoints, vgp, etae, m.deta_sim, m.eta_sim, m.a_sim)) return false;
  INIT2D_START_PROFILE(np, m.eta_sim, m.f_sim, m.u_sim, m.v_sim);

  m.passes = 0;
  double largest = 1.0;
  while (largest > m.tolerance) {
    INIT2D_COEF(m, m.p1, m.p2, np, m.deta_sim, m.f_sim, m.u_sim, m.v_sim);
    INIT2D_BLOCK_SOLVE(m, np, m.a_sim, m.f_sim, m.u_sim, m.v_sim);
    write_pass_table(m, np);
    largest = 0.0;
    bool finite = true;
    const double* df = m.delf.data();
    const double* du = m.delu.data();
    const double* dv = m.delv.data();
    for (int j = 0; j < np; ++j) {
      const double c = std::fabs(dv[j]);
      if (!std::isfinite(c + df[j] + du[j])) finite = false;
      if (c > largest) largest = c;
    }
    ++m.passes;
    if (!finite) return false;
    if (m.passes > m.pass_limit) break;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Full-block form.

void INIT2D_ALLOCATE(Init2d& m, int np) {
  if (m.full_block_allocated)
    internal_fault("the full-block arrays of the similarity start are made twice");
  const int n = m.block_order;
  for (Table3<double>* t : {&m.a3, &m.b3, &m.c3, &m.d3, &m.inv_d3, &m.g3, &m.m3, &m.inv_m, &m.e3,
                            &m.w3m, &m.a3f}) {
    t->make(n, n, np);
  }
  for (Table2<double>* t : {&m.xvc, &m.rvc, &m.rrvc, &m.wvc, &m.uvc, &m.kvc, &m.hvc, &m.k1vc,
                            &m.k2vc, &m.k3vc, &m.e, &m.u3, &m.k3, &m.h3}) {
    t->make(n, np);
  }
  m.af.make(n, n);
  m.tvc.make(n);
  m.det3.make(np);
  m.full_block_allocated = true;
}

namespace {

void check_full_block(Init2d& m, int np) {
  if (!m.full_block_allocated || m.block_order != 3 || np < 1 || np > m.b3.dim3())
    internal_fault(
        "the full-block arrays of the similarity start do not hold the points asked for");
}

// Block (3, 3) in column-major storage.
void put_block(double* b, double r11, double r12, double r13, double r21, double r22, double r23,
               double r31, double r32, double r33) {
  b[0] = r11;
  b[3] = r12;
  b[6] = r13;
  b[1] = r21;
  b[4] = r22;
  b[7] = r23;
  b[2] = r31;
  b[5] = r32;
  b[8] = r33;
}

}  // namespace

void INIT2D_MATRIX_COEF(Init2d& m, int np) {
  check_full_block(m, np);
  VecView a = m.a_sim.view();
  VecView s1 = m.s1.view(), s2 = m.s2.view(), s3 = m.s3.view(), s4 = m.s4.view(),
          s5 = m.s5.view(), s6 = m.s6.view(), r1 = m.r1.view(), r2 = m.r2.view(),
          r3 = m.r3.view();
  for (int j = 1; j <= np; ++j) {
    double* sub = m.a3.block_data(j);
    double* dia = m.b3.block_data(j);
    double* sup = m.c3.block_data(j);
    const double an = (j < np) ? a(j + 1) : 0.0;
    if (j == 1) {
      put_block(sub, 0, 0, 0, 0, 0, 0, 0, 0, 0);
      put_block(dia, 1, 0, 0, 0, 1, 0, 0, -1, -an);
    } else {
      put_block(sub, -1, -a(j), 0, s4(j), s6(j), s2(j), 0, 0, 0);
      if (j < np)
        put_block(dia, 1, -a(j), 0, s3(j), s5(j), s1(j), 0, -1, -an);
      else
        put_block(dia, 1, -a(j), 0, s3(j), s5(j), s1(j), 0, 1, 0);
    }
    if (j < np)
      put_block(sup, 0, 0, 0, 0, 0, 0, 0, 1, -an);
    else
      put_block(sup, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    double* r = m.rvc.column(j);
    r[0] = r1(j);
    r[1] = r2(j);
    r[2] = r3(j);
  }
}

int INIT2D_MATRIX_FORWARD(Init2d& m, int np) {
  check_full_block(m, np);
  const int n = m.block_order;
  int* ipvt = m.tvc.data();
  MatView af = m.af.mat();
  int singular = 0;

  // Factorises and inverts the eliminated diagonal block of point j.
  auto invert = [&](int j) {
    int iflag = 0;
    LU_PIVOT(m.d3.block(j), af, ipvt, m.det3(j), iflag, n);
    if (iflag != 0) {
      if (singular == 0) singular = j;
      return;
    }
    MAT_INVERSE_LU_SLICE(af, ipvt, n);
    const double* src = m.af.data();
    double* dst = m.inv_d3.block_data(j);
    for (int k = 0; k < n * n; ++k) dst[k] = src[k];
  };

  // D(1) = B(1); D(j) = B(j) - G(j) C(j-1), G(j) = A(j) D(j-1)^-1.
  {
    const double* b = m.b3.block_data(1);
    double* d = m.d3.block_data(1);
    for (int k = 0; k < n * n; ++k) d[k] = b[k];
  }
  invert(1);
  if (singular) return singular;
  for (int j = 2; j <= np; ++j) {
    MAT_MAT_SLICE(j, m.a3, j - 1, m.inv_d3, j, m.g3, n);
    MAT_MAT_SLICE(j, m.g3, j - 1, m.c3, j, m.m3, n);
    const double* b = m.b3.block_data(j);
    const double* mm = m.m3.block_data(j);
    double* d = m.d3.block_data(j);
    for (int k = 0; k < n * n; ++k) d[k] = b[k] - mm[k];
    invert(j);
    if (singular) return singular;
  }

  // w(1) = r(1); w(j) = r(j) - G(j) w(j-1).
  for (int k = 1; k <= n; ++k) m.wvc(k, 1) = m.rvc(k, 1);
  for (int j = 2; j <= np; ++j) {
    MAT_VEC_SLICE(j, m.g3, j - 1, m.wvc, j, m.uvc, n);
    const double* r = m.rvc.column(j);
    const double* g = m.uvc.column(j);
    double* w = m.wvc.column(j);
    for (int k = 0; k < n; ++k) w[k] = r[k] - g[k];
  }

  // x(N) = D(N)^-1 w(N); x(j) = D(j)^-1 (w(j) - C(j) x(j+1)).
  MAT_VEC_SLICE(np, m.inv_d3, np, m.wvc, np, m.xvc, n);
  for (int j = np - 1; j >= 1; --j) {
    MAT_VEC_SLICE(j, m.c3, j + 1, m.xvc, j, m.kvc, n);
    const double* w = m.wvc.column(j);
    const double* kv = m.kvc.column(j);
    double* h = m.hvc.column(j);
    for (int k = 0; k < n; ++k) h[k] = w[k] - kv[k];
    MAT_VEC_SLICE(j, m.inv_d3, j, m.hvc, j, m.xvc, n);
  }
  return 0;
}

void INIT2D_MATRIX_BACK(Init2d& m, int np) {
  check_full_block(m, np);
  const int n = m.block_order;
  for (int j = 1; j <= np; ++j) {
    double* x = m.xvc.column(j);
    x[0] = m.delf(j);
    x[1] = m.delu(j);
    x[2] = m.delv(j);
  }
  for (int j = 1; j <= np; ++j) {
    double* k1 = m.k1vc.column(j);
    double* k3 = m.k3vc.column(j);
    if (j > 1)
      MAT_VEC_SLICE(j, m.a3, j - 1, m.xvc, j, m.k1vc, n);
    else
      for (int k = 0; k < n; ++k) k1[k] = 0.0;
    MAT_VEC_SLICE(j, m.b3, j, m.xvc, j, m.k2vc, n);
    if (j < np)
      MAT_VEC_SLICE(j, m.c3, j + 1, m.xvc, j, m.k3vc, n);
    else
      for (int k = 0; k < n; ++k) k3[k] = 0.0;
    const double* k2 = m.k2vc.column(j);
    const double* r = m.rvc.column(j);
    double* rr = m.rrvc.column(j);
    for (int k = 0; k < n; ++k) rr[k] = k1[k] + k2[k] + k3[k] - r[k];
  }
}

}  // namespace sorvane::bl
