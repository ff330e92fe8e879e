#!/usr/bin/env python3
"""Runs the boundary layer over a matrix of generated sections with the
bl_matrix test tool of a build, and compares two such runs.

  tools/bl_matrix.py run BUILD OUT [lowre]    every case in OUT/<case>/, the
                                        summary lines of all surfaces in
                                        OUT/summary.txt
  tools/bl_matrix.py compare OLD NEW [lowre]  per case and surface: which
                                        station logs differ and from which
                                        station, the totals of both runs, and
                                        how many cases have every listing
                                        byte for byte the same (a case that
                                        one side lacks, or a folder of a
                                        case the matrix does not hold, is a
                                        difference)

The matrix: NACA 0006 to 0018 and cambered 2412, 4412, 2415, 4415, 2418 at 0
to 8 degrees, Re 1 and 6 million, 80 to 240 panels, tables of 80 and 100
chord stations per surface; thin NACA 0003 and 0004 at incidence (they
separate close behind the nose); examples/main_flap.dat at -2 to 12 degrees.

The low-Reynolds-number matrix (lowre): NACA 0006, 0012, 0018, 2412, 4412
and 4415 at 0 to 10 degrees, Re 0.03 to 0.5 million, 120 and 200 panels,
transition fixed at 0.002, 0.005, 0.02 and 0.1 of the arc and free;
examples/main_flap.dat at 0 to 10 degrees at the same Reynolds numbers, with
its own transition positions and the fixed ones.
"""
import concurrent.futures as cf
import os
import re
import subprocess
import sys

SECTIONS = ["0006", "0009", "0012", "0015", "0018", "2412", "4412", "2415", "4415", "2418"]
ALPHAS = ["0", "2", "4", "6", "8"]
REYNOLDS = ["1", "6"]
PANELS = ["80", "120", "160", "200", "240"]
STATIONS = ["80", "100"]


LOWRE = os.environ.get("BL_MATRIX") == "lowre"


def lowre_cases():
    out = []
    for sec in ["0006", "0012", "0018", "2412", "4412", "4415"]:
        for a in ["0", "2", "4", "6", "8", "10"]:
            for re_ in ["0.03", "0.05", "0.1", "0.2", "0.5"]:
                for p in ["120", "200"]:
                    for x in ["0.002", "0.005", "0.02", "0.1", "5"]:
                        out.append([sec, a, re_, p, "100", x])
    here = os.path.dirname(os.path.abspath(__file__))
    flap = os.path.join(os.path.dirname(here), "examples", "main_flap.dat")
    for a in ["0", "2", "4", "6", "8", "10"]:
        for re_ in ["0.03", "0.05", "0.1", "0.2", "0.5"]:
            out.append(["--file", flap, a, re_])
            for x in ["0.002", "0.005", "0.02", "0.1"]:
                out.append(["--file", flap, a, re_, x])
    return out


def cases():
    if LOWRE:
        return lowre_cases()
    out = []
    for sec in SECTIONS:
        for a in ALPHAS:
            for re_ in REYNOLDS:
                for p in PANELS:
                    for n in STATIONS:
                        out.append([sec, a, re_, p, n])
    for sec in ["0003", "0004"]:
        for a in ["2", "4", "8"]:
            for re_ in ["1", "6"]:
                for p in ["120", "200"]:
                    out.append([sec, a, re_, p, "100"])
    here = os.path.dirname(os.path.abspath(__file__))
    flap = os.path.join(os.path.dirname(here), "examples", "main_flap.dat")
    for a in ["-2", "0", "2", "4", "6", "8", "10", "12"]:
        out.append(["--file", flap, a])
    return out


def case_name(c):
    if c[0] == "--file":
        return "main_flap_a" + c[2] + "".join(
            "_" + k + v for k, v in zip(["re", "x"], c[3:]))
    return "naca%s_a%s_re%s_p%s_n%s" % tuple(c[:5]) + ("_x" + c[5] if len(c) > 5 else "")


def run_one(tool, root, c):
    d = os.path.join(root, case_name(c))
    os.makedirs(d, exist_ok=True)
    p = subprocess.run([tool, d] + c, capture_output=True, text=True)
    return p.stderr


def run(build, root):
    tool = os.path.join(os.path.abspath(build), "tests", "bl_matrix")
    root = os.path.abspath(root)
    os.makedirs(root, exist_ok=True)
    all_cases = cases()
    with cf.ThreadPoolExecutor(max_workers=os.cpu_count()) as ex:
        lines = list(ex.map(lambda c: run_one(tool, root, c), all_cases))
    with open(os.path.join(root, "summary.txt"), "w") as f:
        for l in lines:
            f.write(l)
    print(totals(parse(os.path.join(root, "summary.txt"))))


FIELD = re.compile(r'(\w+)=("[^"]*"|\S+)')


def parse(path):
    rows = {}
    for line in open(path):
        parts = line.split(" ", 3)
        if len(parts) < 4 or parts[0] == "TRACE" or not parts[1].startswith("e"):
            continue
        key = (parts[0], parts[1], parts[2])
        rows[key] = {k: v.strip('"') for k, v in FIELD.findall(parts[3])}
    return rows


def totals(rows):
    surfaces = len(rows)
    stopped = sum(1 for r in rows.values() if r["ok"] == "0")
    with_bad = sum(1 for r in rows.values() if int(r["bad"]) > 0)
    bad_rows = sum(int(r["bad"]) for r in rows.values())
    done = sum(int(r["done"]) for r in rows.values())
    nx = sum(int(r["nx"]) for r in rows.values())
    return ("%d surfaces: %d stopped, %d with impossible rows (%d rows), %d of %d stations "
            "computed" % (surfaces, stopped, with_bad, bad_rows, done, nx))


def log_rows(path):
    """The station rows of a station log, per surface in the log's order."""
    surfaces, cur = [], None
    try:
        lines = open(path, errors="replace").read().split("\n")
    except OSError:
        return surfaces
    for line in lines:
        if line.startswith("Upper surface") or line.startswith("Lower surface"):
            cur = []
            surfaces.append(cur)
        elif cur is not None and len(line) == 114 and not line.startswith("   NX"):
            cur.append(line)
    return surfaces


def compare(old, new):
    a, b = parse(os.path.join(old, "summary.txt")), parse(os.path.join(new, "summary.txt"))
    print("old:", totals(a))
    print("new:", totals(b))
    same_logs = changed_logs = 0
    for c in cases():
        name = case_name(c)
        la = log_rows(os.path.join(old, name, "case.blf"))
        lb = log_rows(os.path.join(new, name, "case.blf"))
        for s in range(max(len(la), len(lb))):
            ra = la[s] if s < len(la) else []
            rb = lb[s] if s < len(lb) else []
            if ra == rb:
                same_logs += 1
                continue
            changed_logs += 1
            first = next((k for k in range(min(len(ra), len(rb))) if ra[k] != rb[k]),
                         min(len(ra), len(rb)))
            longer = ra if first < len(ra) else rb
            station = int(longer[first][:5]) if first < len(longer) else 0
            key = (name, "e%d" % (s // 2 + 1), "s%d" % (s % 2 + 1))
            def brief(r):
                if not r:
                    return "-"
                return "ok=%s done=%s/%s turb=%s michel=%s bad=%s d1=%s cf=%s" % (
                    r["ok"], r["done"], r["nx"], r["turb"], r["michel"], r["bad"],
                    r["worst_d1"], r["worst_cf"])
            print("%s %s %s from station %d (rows %d -> %d)\n    old %s\n    new %s" % (
                key[0], key[1], key[2], station, len(ra), len(rb), brief(a.get(key)),
                brief(b.get(key))))
    print("station logs: %d the same, %d changed" % (same_logs, changed_logs))
    same_cases = 0
    differing = []
    for c in cases():
        name = case_name(c)
        da, db = os.path.join(old, name), os.path.join(new, name)
        # A case that one side does not have is a difference, not a match.
        missing = [side for side, d in (("old", da), ("new", db)) if not os.path.isdir(d)]
        if missing:
            differing.append("%s: missing in %s" % (name, " and ".join(missing)))
            continue
        files = sorted(set(os.listdir(da)) | set(os.listdir(db)))
        diff = [f for f in files if f != "stations.txt" and
                not (os.path.isfile(os.path.join(da, f)) and os.path.isfile(os.path.join(db, f))
                     and open(os.path.join(da, f), "rb").read() ==
                     open(os.path.join(db, f), "rb").read())]
        if diff:
            differing.append("%s: %s" % (name, " ".join(diff)))
        else:
            same_cases += 1
    # Folders of cases the matrix does not hold (an older or another matrix)
    # are differences too.
    known = set(case_name(c) for c in cases())
    for side, root in (("old", old), ("new", new)):
        for name in sorted(os.listdir(root)):
            if name not in known and os.path.isdir(os.path.join(root, name)):
                differing.append("%s: extra in %s" % (name, side))
    print("cases with every listing the same: %d of %d" % (same_cases, len(cases())))
    for d in differing:
        print("  differ:", d)


def main():
    global LOWRE
    if len(sys.argv) == 5 and sys.argv[4] == "lowre":
        LOWRE = True
        del sys.argv[4]
    if len(sys.argv) == 4 and sys.argv[1] == "run":
        run(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "compare":
        compare(sys.argv[2], sys.argv[3])
    else:
        print(__doc__)
        sys.exit(1)


if __name__ == "__main__":
    main()
