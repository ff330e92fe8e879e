// Making and releasing the two array sets of a surface run.
#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl {

void INPUTI_ALLOCATE(SurfaceRun& r, int nx) {
  if (r.inputi_allocated) internal_fault("the station arrays of a surface run are made twice");
  r.neq = 3;
  for (Table1<double>* t :
       {&r.x, &r.ue, &r.eme, &r.dpdx, &r.te, &r.roe, &r.emue, &r.roe8, &r.emue8, &r.enue8,
        &r.te8, &r.rx, &r.uww, &r.vww, &r.tww, &r.cfb, &r.d1b, &r.d2b, &r.rov, &r.h12,
        &r.d1_bc, &r.rv_bc, &r.cf_bc, &r.rtheta, &r.rdels}) {
    t->make(nx);
  }
  for (Table1<double>* t : {&r.df, &r.du, &r.dv, &r.bb, &r.bbt, &r.ee, &r.dd, &r.tte, &r.eta,
                            &r.aa, &r.deta}) {
    t->make(kGridPoints);
  }
  for (Table2<double>* t : {&r.f, &r.u, &r.v, &r.b, &r.ccro, &r.ccmu, &r.h, &r.g}) {
    t->make(kProfileLevels, kGridPoints);
  }
  r.inputi_allocated = true;
}

void INPUTI_DEALLOCATE(SurfaceRun& r) {
  if (!r.inputi_allocated)
    internal_fault("the station arrays of a surface run are released unmade");
  for (Table1<double>* t :
       {&r.x, &r.ue, &r.eme, &r.dpdx, &r.te, &r.roe, &r.emue, &r.roe8, &r.emue8, &r.enue8,
        &r.te8, &r.rx, &r.uww, &r.vww, &r.tww, &r.cfb, &r.d1b, &r.d2b, &r.rov, &r.h12,
        &r.d1_bc, &r.rv_bc, &r.cf_bc, &r.rtheta, &r.rdels, &r.df, &r.du, &r.dv, &r.bb,
        &r.bbt, &r.ee, &r.dd, &r.tte, &r.eta, &r.aa, &r.deta}) {
    t->release();
  }
  for (Table2<double>* t : {&r.f, &r.u, &r.v, &r.b, &r.ccro, &r.ccmu, &r.h, &r.g}) {
    t->release();
  }
  r.inputi_allocated = false;
}

void DIAG_3_ALLOCATE(SurfaceRun& r) {
  if (r.diag3_allocated) internal_fault("the station system of a surface run is made twice");
  const int n = r.neq;
  for (Table2<double>* t : {&r.q, &r.qp, &r.rq, &r.rvec, &r.xvec, &r.eyvec, &r.yvec, &r.wvec,
                            &r.uvec, &r.kvec, &r.hvec, &r.rrvec, &r.k1vec, &r.k2vec,
                            &r.k3vec}) {
    t->make(n, kGridPoints);
  }
  for (Table3<double>* t : {&r.dqdx, &r.dqpdx, &r.amat, &r.bmat, &r.cmat, &r.dmat, &r.inv_d,
                            &r.gmat, &r.mmat, &r.g0_mat}) {
    t->make(n, n, kGridPoints);
  }
  r.afmat.make(n, n);
  r.f0_mat.make(n, n);
  r.tvec.make(n);
  r.det.make(kGridPoints);
  r.diag3_allocated = true;
}

void DIAG_3_DEALLOCATE(SurfaceRun& r) {
  if (!r.diag3_allocated) internal_fault("the station system of a surface run is released unmade");
  for (Table2<double>* t : {&r.q, &r.qp, &r.rq, &r.rvec, &r.xvec, &r.eyvec, &r.yvec, &r.wvec,
                            &r.uvec, &r.kvec, &r.hvec, &r.rrvec, &r.k1vec, &r.k2vec,
                            &r.k3vec, &r.afmat, &r.f0_mat}) {
    t->release();
  }
  for (Table3<double>* t : {&r.dqdx, &r.dqpdx, &r.amat, &r.bmat, &r.cmat, &r.dmat, &r.inv_d,
                            &r.gmat, &r.mmat, &r.g0_mat}) {
    t->release();
  }
  r.tvec.release();
  r.det.release();
  r.diag3_allocated = false;
}

}  // namespace sorvane::bl
