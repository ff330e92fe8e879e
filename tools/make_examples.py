#!/usr/bin/env python3
"""Writes the sample geometry files of examples/ from the NACA 4-digit formulas.

Thickness  yt = 5t (0.2969 sqrt(x) - 0.1260 x - 0.3516 x^2 + 0.2843 x^3 - 0.1036 x^4)
           (the closed trailing-edge form: the original last coefficient -0.1015
           leaves a blunt base 0.25 % of the chord thick, and the panels next to
           the trailing edge, shorter than that base, then show a false suction
           spike there, which a flap below the trailing edge makes far worse)
Camber     yc = m/p^2 (2px - x^2)             for x < p
           yc = m/(1-p)^2 (1 - 2p + 2px - x^2) for x >= p
Surfaces   (x -+ yt sin(theta), yc +- yt cos(theta)), theta = atan(dyc/dx)
Stations   cosine spacing in x.

Every record is written in ten-character fields with a decimal point in each
("%10.5f"), and every record and point table follows one title or heading
line, as the geometry reader expects. Contours run from the trailing edge over
the upper surface to the leading edge and back over the lower surface; the
script checks that x is strictly monotone on each branch and that the placed
elements neither intersect nor contain one another.

Usage: tools/make_examples.py [output folder]   (default: examples/ beside tools/)
"""

import math
import os
import sys


def naca4(code, stations, digits=5):
    """Upper and lower surface points of NACA `code` (unit chord) at the
    cosine-spaced stations 0..stations, each surface from LE to TE, rounded
    to `digits` decimals (None: not rounded)."""
    m = int(code[0]) / 100.0
    p = int(code[1]) / 10.0
    t = int(code[2:]) / 100.0
    upper, lower = [], []
    for j in range(stations + 1):
        x = 0.5 * (1.0 - math.cos(math.pi * j / stations))
        yt = 5.0 * t * (0.2969 * math.sqrt(x) - 0.1260 * x - 0.3516 * x ** 2
                        + 0.2843 * x ** 3 - 0.1036 * x ** 4)
        if m == 0.0:
            yc, slope = 0.0, 0.0
        elif x < p:
            yc = m / p ** 2 * (2 * p * x - x * x)
            slope = 2 * m / p ** 2 * (p - x)
        else:
            yc = m / (1 - p) ** 2 * (1 - 2 * p + 2 * p * x - x * x)
            slope = 2 * m / (1 - p) ** 2 * (p - x)
        th = math.atan(slope)
        # Rounded to the five decimals the file holds, so that the checks
        # below see the values the reader gets.
        up = (x - yt * math.sin(th), yc + yt * math.cos(th))
        lo = (x + yt * math.sin(th), yc - yt * math.cos(th))
        if digits is not None:
            up, lo = (round(v, digits) for v in up), (round(v, digits) for v in lo)
        upper.append(tuple(up))
        lower.append(tuple(lo))
    return upper, lower


def contour(code, stations):
    """Contour of a cambered section in contour order (TE, upper surface, LE,
    lower surface, TE) and the 1-based row of its leading edge, in the
    section's own chord frame. With camber the upper-surface points of the
    first stations lie ahead of the mean line's start; leaving them out cuts
    the nose off at a corner that gives a false suction spike and a wiggle of
    the surface velocity there, on which a boundary layer separates. So every
    point is kept: the leading edge is the contour point farthest from the
    trailing edge, and the contour is moved, turned and scaled so that this
    point is (0, 0) and the trailing edge (1, 0)."""
    upper, lower = naca4(code, stations, digits=None)
    pts = list(reversed(upper[1:])) + lower
    for _ in range(3):  # the farthest point can change once the frame turns
        tex, tey = pts[0]
        ile = max(range(len(pts)), key=lambda i: math.hypot(pts[i][0] - tex, pts[i][1] - tey))
        lx, ly = pts[ile]
        L = math.hypot(tex - lx, tey - ly)
        c, s = (tex - lx) / L, (tey - ly) / L
        pts = [(((x - lx) * c + (y - ly) * s) / L, (-(x - lx) * s + (y - ly) * c) / L)
               for x, y in pts]
    pts = [(round(x, 5), round(y, 5)) for x, y in pts]
    ile = min(range(len(pts)), key=lambda i: pts[i][0]) + 1
    if pts[ile - 1] != (0.0, 0.0) or pts[0] != (1.0, 0.0) or pts[-1] != (1.0, 0.0):
        raise SystemExit(f"{code}: leading edge or trailing edge off the chord frame")
    check_branches(pts, ile, code)
    return pts, ile


def check_branches(pts, ile, what):
    for i in range(1, ile):
        if not pts[i][0] < pts[i - 1][0]:
            raise SystemExit(f"{what}: x not decreasing at row {i + 1}")
    for i in range(ile, len(pts)):
        if not pts[i][0] > pts[i - 1][0]:
            raise SystemExit(f"{what}: x not increasing at row {i + 1}")


def place(pts, scale, xax, yax, xx, yy, dfl):
    """Configuration-frame points: scaled contour turned by -dfl degrees about
    (xax, yax) of the element frame, the axis moved to (xx, yy)."""
    d = -dfl * math.pi / 180.0
    c, s = math.cos(d), math.sin(d)
    out = []
    for x, y in pts:
        dx, dy = scale * x - xax, scale * y - yax
        out.append((c * dx - s * dy + xx, s * dx + c * dy + yy))
    return out


def segments_cross(p1, p2, q1, q2):
    def orient(a, b, c):
        return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])
    d1, d2 = orient(q1, q2, p1), orient(q1, q2, p2)
    d3, d4 = orient(p1, p2, q1), orient(p1, p2, q2)
    return d1 * d2 < 0 and d3 * d4 < 0


def inside(pt, poly):
    x, y = pt
    hit = False
    n = len(poly)
    for i in range(n):
        (x1, y1), (x2, y2) = poly[i], poly[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            hit = not hit
    return hit


def seg_distance(p, a, b):
    ax, ay = b[0] - a[0], b[1] - a[1]
    L = ax * ax + ay * ay
    u = 0.0 if L == 0 else max(0.0, min(1.0, ((p[0] - a[0]) * ax + (p[1] - a[1]) * ay) / L))
    return math.hypot(p[0] - a[0] - u * ax, p[1] - a[1] - u * ay)


def check_apart(polys, name, min_gap=0.004):
    """No two closed contours intersect or contain each other, and they keep
    at least min_gap apart."""
    for i in range(len(polys)):
        for j in range(i + 1, len(polys)):
            a, b = polys[i], polys[j]
            for k in range(len(a)):
                for l in range(len(b)):
                    if segments_cross(a[k], a[(k + 1) % len(a)], b[l], b[(l + 1) % len(b)]):
                        raise SystemExit(f"{name}: elements {i + 1} and {j + 1} intersect")
            if any(inside(p, b) for p in a) or any(inside(p, a) for p in b):
                raise SystemExit(f"{name}: elements {i + 1} and {j + 1} overlap")
            gap = min(min(seg_distance(p, b[l], b[(l + 1) % len(b)]) for l in range(len(b)))
                      for p in a)
            gap = min(gap, min(min(seg_distance(p, a[k], a[(k + 1) % len(a)])
                                   for k in range(len(a))) for p in b))
            if gap < min_gap:
                raise SystemExit(f"{name}: elements {i + 1} and {j + 1} only {gap:.5f} apart")
            print(f"{name}: elements {i + 1} and {j + 1} are {gap:.4f} apart")


def rec(*values):
    return "".join("%10.5f" % v for v in values) + "\n"


def head(*names):
    return "".join("%10s" % n for n in names) + "\n"


REC2 = head("ALPHA", "MACH", "SWEPT", "BREF", "XREF", "YREF")
RECBL = head("REMILL", "ETAE", "NP", "VGP", "CFSEP")
RECA = head("BELEM", "ITAB", "NROWS", "NPANELS", "-", "ISMOOTH", "ILE", "SCALE")
RECB = head("XAX", "YAX", "XX", "YY", "DFL", "DXM", "DYM")
RECB_BL = head("XAX", "YAX", "XX", "YY", "DFL", "DXM", "DYM", "XTRU", "XTRL")


def element(title, e, ibl):
    """Heading lines, records (a) and (b) and the point table of one element."""
    pts, ile, itab = e["pts"], e["ile"], e["itab"]
    out = [RECA.rstrip("\n") + "   " + title + "\n"]
    if itab == 1:
        rows = e["rows"]
        out.append(rec(e["belem"], 1, len(rows), e["npanels"], 0, 0, 0, e["scale"]))
    elif itab == 2:
        out.append(rec(e["belem"], 2, len(pts), e["npanels"], 0, 0, ile, e["scale"]))
    else:  # reversed: the leading-edge row counts in the file's order
        out.append(rec(e["belem"], itab, len(pts), e["npanels"], 0, 0, len(pts) + 1 - ile,
                       e["scale"]))
    out.append(RECB_BL if ibl else RECB)
    b = [e["xax"], e["yax"], e["xx"], e["yy"], e["dfl"], e["dxm"], 0.0]
    if ibl:
        b += e["xtr"]
    out.append(rec(*b))
    if itab == 1:
        out.append(head("X", "Y UPPER", "Y LOWER", "D LOWER", "D UPPER"))
        out += [rec(x, yu, yl, 0.0, 0.0) for x, yu, yl in e["rows"]]
    else:
        out.append(head("X", "Y", "D"))
        order = pts if itab == 2 else list(reversed(pts))
        out += [rec(x, y, 0.0) for x, y in order]
    return out


def write(path, title, rec1, rec2, bl, elements):
    ibl = bl is not None
    # The title line is the heading of record 1.
    lines = [title + "\n", rec(*rec1), REC2, rec(*rec2)]
    if ibl:
        lines += [RECBL, rec(*bl)]
    for k, (name, e) in enumerate(elements, 1):
        lines += element(f"element {k}: {name}", e, ibl)
    polys = [place(e["pts"], e["scale"], e["xax"], e["yax"], e["xx"], e["yy"], e["dfl"])
             for _, e in elements]
    if len(polys) > 1:
        check_apart(polys, os.path.basename(path))
    with open(path, "w", newline="\n") as f:
        f.writelines(lines)
    print(f"wrote {path}")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "examples")
    os.makedirs(outdir, exist_ok=True)

    # NACA 0012, mirrored table: row j gives the upper and the lower point at x_j.
    upper, lower = naca4("0012", 60)
    rows = [(upper[j][0], upper[j][1], lower[j][1]) for j in range(61)]
    pts = [(x, yu) for x, yu, _ in reversed(rows)] + [(x, yl) for x, _, yl in rows[1:]]
    check_branches(pts, 61, "0012")
    single = dict(pts=pts, ile=61, itab=1, rows=rows, belem=1.0, npanels=120, scale=1.0,
                  xax=0.0, yax=0.0, xx=0.0, yy=0.0, dfl=0.0, dxm=0.25, xtr=[0.0, 0.0])
    write(os.path.join(outdir, "naca0012.dat"),
          "NACA 0012, single element    (IPRINT NELEM DADD ICOMPR ITE IPOS IBL)",
          (0, 1, 0.005, 0, 0, 1, 0), (4.0, 0.0, 0.0, 1.0, 0.25, 0.0), None,
          [("NACA 0012 (mirrored table)", single)])

    # Main aerofoil NACA 4412 with a 30 % NACA 4412 flap deflected 20 degrees,
    # its leading edge in the main element's cove below the trailing edge: the
    # flap nose 1 % of the chord ahead of the main trailing edge (overlap), the
    # slot between them about 2.3 % of the chord wide (gap).
    main_pts, main_ile = contour("4412", 60)
    flap_pts, flap_ile = contour("4412", 80)
    main_el = dict(pts=main_pts, ile=main_ile, itab=2, belem=1.0, npanels=120, scale=1.0,
                   xax=0.0, yax=0.0, xx=0.0, yy=0.0, dfl=0.0, dxm=0.25, xtr=[0.05, 0.30])
    flap_el = dict(pts=flap_pts, ile=flap_ile, itab=2, belem=0.3, npanels=100, scale=0.3,
                   xax=0.0, yax=0.0, xx=0.99, yy=-0.030, dfl=20.0, dxm=0.25,
                   xtr=[0.05, 0.05])
    write(os.path.join(outdir, "main_flap.dat"),
          "NACA 4412 main, 30 % flap at 20 degrees (IPRINT NELEM DADD ICOMPR ITE IPOS IBL)",
          (0, 2, 0.005, 0, 0, 0, 1), (4.0, 0.0, 0.0, 1.0, 0.25, 0.0),
          (3.0, 8.0, 61.0, 1.1, 0.0),
          [("NACA 4412 main", main_el), ("NACA 4412 flap", flap_el)])

    # Slat / main / flap: a 15 % slat of the strongly cambered NACA 9318
    # section (9 % camber at 30 % chord, so that its nose droops into the
    # upwash ahead of the main element), deflected 30 degrees nose down: the
    # placement turns it about its trailing edge by -DFL = +30 degrees
    # (anticlockwise), which lifts the trailing edge above the nose. The
    # trailing edge sits at x = 0.05, 0.035 above the main element's upper
    # surface there (y = 0.04728), which leaves a slot about 3 % of the chord
    # wide; the slat nose lies 8 % of the chord ahead of the main one.
    slat_pts, slat_ile = contour("9318", 60)
    slat_el = dict(pts=slat_pts, ile=slat_ile, itab=2, belem=0.15, npanels=80, scale=0.15,
                   xax=0.15, yax=0.0, xx=0.05, yy=0.08228, dfl=-30.0, dxm=0.25,
                   xtr=[0.0, 0.0])
    main3 = dict(main_el, itab=3)
    flap3 = dict(flap_el)
    write(os.path.join(outdir, "slat_main_flap.dat"),
          "Slat, NACA 4412 main and flap  (IPRINT NELEM DADD ICOMPR ITE IPOS IBL)",
          (0, 3, 0.005, 0, 0, 0, 0), (8.0, 0.0, 0.0, 1.0, 0.25, 0.0), None,
          [("NACA 9318 slat", slat_el), ("NACA 4412 main (reversed table)", main3),
           ("NACA 4412 flap", flap3)])


if __name__ == "__main__":
    main()
