"""Make the synthetic site's data: six survey lines over a known ground.

Run once with the test environment's Python (pyGIMLi 1.x and gmsh needed):

    python tests/data/site/make_site.py [--check-only] [--out DIR]

The ground (README.md says it in words): relief of a few metres, a
100 ohm-m host, a resistive layer whose top dips across the site and a
conductive block under two lines. Five parallel lines run east 8 m apart
(the northern one bent halfway), a tie line runs north across all five.
The data come from pyGIMLi's 3-D forward computation on a tetrahedral mesh
made with gmsh: a flat-topped world with every electrode a node of its top,
each node then lifted by the relief, fading to nothing at the bottom, so the
tetrahedra stay valid and the electrodes stay on the surface. Each line's
file is the unified data format with map coordinates ("# x y z": x east,
y north, z the elevation) and resistances with their relative errors.
"""
import argparse
import math
import os
import subprocess
import sys
import tempfile
import time

import numpy as np

SPACING = 2.0            # electrode spacing along every line (m)
ELECTRODES = 32
LINE_GAP = 8.0           # between the parallel lines (m)
BASE_ELEVATION = 100.0   # the map's datum under the relief (m)
HOST = 100.0             # ohm-m
BLOCK = 10.0
LAYER = 600.0
NOISE = 0.03             # relative, Gaussian; also the files' error
SEED = 1789

# The conductive block: a box in map x and y, its top and bottom at depths
# below the local ground.
BLOCK_X = (34.0, 46.0)
BLOCK_Y = (5.0, 19.0)
BLOCK_DEPTH = (3.0, 9.0)

# The world around the lines and its bottom (local z 0 is the flat top).
WORLD_X = (-120.0, 190.0)
WORLD_Y = (-120.0, 170.0)
WORLD_BOTTOM = -120.0


def relief(x, y):
    """The ground's height above BASE_ELEVATION: a hill of 3 m centred at
    (30, 20) and a slope rising 3 m per 100 m to the east."""
    x = np.asarray(x, dtype=float)
    y = np.asarray(y, dtype=float)
    return 3.0 * np.exp(-((x - 30.0) ** 2 + (y - 20.0) ** 2) / (2.0 * 20.0 ** 2)) + 0.03 * x


def ground(x, y):
    return BASE_ELEVATION + relief(x, y)


def layer_top(x, y):
    """The resistive layer's top elevation: a plane dipping to the
    north-east (0.12 m per m east and per m north)."""
    return BASE_ELEVATION - 3.0 - 0.12 * np.asarray(x, dtype=float) - 0.12 * np.asarray(y, dtype=float)


def true_resistivity(x, y, z):
    """The ground at map x, y and elevation z."""
    x, y, z = (np.asarray(v, dtype=float) for v in (x, y, z))
    depth = ground(x, y) - z
    rho = np.full(x.shape, HOST)
    rho[z < layer_top(x, y)] = LAYER
    inBlock = ((x >= BLOCK_X[0]) & (x <= BLOCK_X[1]) & (y >= BLOCK_Y[0]) & (y <= BLOCK_Y[1]) &
               (depth >= BLOCK_DEPTH[0]) & (depth <= BLOCK_DEPTH[1]))
    rho[inBlock] = BLOCK
    return rho


def lines():
    """Each line's electrodes in map x, y, in file order."""
    along = np.arange(ELECTRODES) * SPACING
    tracks = {}
    for i in range(4):
        tracks["line%d" % (i + 1)] = np.column_stack([along, np.full(ELECTRODES, i * LINE_GAP)])
    # line5: its first half east, its second turned 25 degrees to the north,
    # electrodes still 2 m apart along the track.
    turn = math.radians(25.0)
    half = ELECTRODES // 2
    points = [(k * SPACING, 4 * LINE_GAP) for k in range(half)]
    x0, y0 = points[-1]
    for k in range(1, ELECTRODES - half + 1):
        points.append((x0 + k * SPACING * math.cos(turn), y0 + k * SPACING * math.sin(turn)))
    tracks["line5"] = np.array(points)
    # The tie line: north at x = 13 from y = -15 (odd x and y, so no
    # electrode of it shares a place with one of the parallel lines).
    tracks["tie"] = np.column_stack([np.full(ELECTRODES, 13.0), -15.0 + along])
    return tracks


def dipole_dipole(count):
    """Dipole-dipole quadrupoles (a, b, m, n from 1): dipoles of 1 to 3
    spacings, n from 1 to 6; the current dipole's B first along the line,
    so that the geometric factor and the resistance are positive."""
    rows = []
    for a in (1, 2, 3):
        for n in range(1, 7):
            for first in range(count):
                last = first + a + n * a + a
                if last >= count:
                    break
                rows.append((first + a + 1, first + 1, first + a + n * a + 1, last + 1))
    return rows


def geo_text(points, inner):
    """A gmsh script: the world box with the electrodes as points of its
    top, small cells at the electrodes and a refined box around the site."""
    (x0, x1), (y0, y1), zb = WORLD_X, WORLD_Y, WORLD_BOTTOM
    out = ["SetFactory(\"Built-in\");", "Mesh.Algorithm3D = 1;", "Mesh.Optimize = 1;",
           "Mesh.MshFileVersion = 2.2;", "Mesh.CharacteristicLengthExtendFromBoundary = 0;"]
    corners = [(x0, y0, zb), (x1, y0, zb), (x1, y1, zb), (x0, y1, zb),
               (x0, y0, 0.0), (x1, y0, 0.0), (x1, y1, 0.0), (x0, y1, 0.0)]
    for i, (x, y, z) in enumerate(corners):
        out.append("Point(%d) = {%g, %g, %g, 30};" % (i + 1, x, y, z))
    edges = [(1, 2), (2, 3), (3, 4), (4, 1), (5, 6), (6, 7), (7, 8), (8, 5), (1, 5), (2, 6), (3, 7), (4, 8)]
    for i, (a, b) in enumerate(edges):
        out.append("Line(%d) = {%d, %d};" % (i + 1, a, b))
    loops = {1: "-1, -4, -3, -2", 2: "5, 6, 7, 8", 3: "1, 10, -5, -9", 4: "2, 11, -6, -10",
             5: "3, 12, -7, -11", 6: "4, 9, -8, -12"}
    for s, loop in loops.items():
        out.append("Curve Loop(%d) = {%s};" % (s, loop))
        out.append("Plane Surface(%d) = {%d};" % (s, s))
    out.append("Surface Loop(1) = {1, 2, 3, 4, 5, 6};")
    out.append("Volume(1) = {1};")
    ids = []
    for k, (x, y) in enumerate(points):
        ids.append(100 + k)
        out.append("Point(%d) = {%.6f, %.6f, 0, %g};" % (100 + k, x, y, inner["electrode"]))
    out.append("Point{%s} In Surface{2};" % ", ".join(str(i) for i in ids))
    bx, by, bz = inner["box"]
    out += ["Field[1] = Distance;", "Field[1].PointsList = {%s};" % ", ".join(str(i) for i in ids),
            "Field[2] = Threshold;", "Field[2].InField = 1;",
            "Field[2].SizeMin = %g;" % inner["electrode"], "Field[2].SizeMax = %g;" % inner["cell"],
            "Field[2].DistMin = 0.2;", "Field[2].DistMax = %g;" % inner["grade"], "Field[2].StopAtDistMax = 1;",
            "Field[3] = Box;", "Field[3].VIn = %g;" % inner["cell"], "Field[3].VOut = 30;",
            "Field[3].XMin = %g;" % bx[0], "Field[3].XMax = %g;" % bx[1],
            "Field[3].YMin = %g;" % by[0], "Field[3].YMax = %g;" % by[1],
            "Field[3].ZMin = %g;" % bz, "Field[3].ZMax = 1;", "Field[3].Thickness = 40;",
            "Field[4] = Min;", "Field[4].FieldsList = {2, 3};", "Background Field = 4;",
            "Physical Volume(1) = {1};", "Physical Surface(1) = {2};",
            "Physical Surface(2) = {1, 3, 4, 5, 6};"]
    return "\n".join(out) + "\n"


def make_mesh(points, inner, workdir):
    """The flat-topped tetrahedral world (local z, top at 0) with the
    boundary conditions pyGIMLi reads: -1 on the ground, -2 elsewhere."""
    import pygimli.meshtools as mt
    geo = os.path.join(workdir, "site.geo")
    msh = os.path.join(workdir, "site.msh")
    with open(geo, "w") as f:
        f.write(geo_text(points, inner))
    subprocess.run(["gmsh", "-3", "-nt", "3", geo, "-o", msh], check=True, stdout=subprocess.DEVNULL)
    mesh = mt.readGmsh(msh, verbose=False)
    for b in mesh.boundaries():
        if b.outside():
            b.setMarker(-1 if abs(b.center()[2]) < 1e-6 else -2)
    mesh.setCellMarkers(np.zeros(mesh.cellCount(), dtype=int))
    return mesh


def lift(mesh):
    """Every node up by the relief, fading linearly to 0 at the bottom."""
    import pygimli as pg
    pos = np.array(mesh.positions())
    share = 1.0 - pos[:, 2] / WORLD_BOTTOM
    z = pos[:, 2] + relief(pos[:, 0], pos[:, 1]) * share
    for i, node in enumerate(mesh.nodes()):
        node.setPos(pg.Pos(pos[i, 0], pos[i, 1], z[i]))
    mesh.geometryChanged()


def tetra_quality(mesh):
    """Each tetrahedron's volume and its mean ratio (1 regular, toward 0
    flat): 12 (3 V)^(2/3) / the sum of its squared edges."""
    cells = np.array([[n.id() for n in c.nodes()] for c in mesh.cells()])
    pos = np.array(mesh.positions())
    p = pos[cells]
    volume = np.einsum("ij,ij->i", np.cross(p[:, 1] - p[:, 0], p[:, 2] - p[:, 0]), p[:, 3] - p[:, 0]) / 6.0
    edges = sum(np.sum((p[:, i] - p[:, j]) ** 2, axis=1) for i in range(4) for j in range(i + 1, 4))
    ratio = 12.0 * np.cbrt(3.0 * np.abs(volume)) ** 2 / edges
    return volume, ratio


def scheme_of(tracks, elevation):
    """One scheme of all lines' electrodes (local z) and their quadrupoles;
    the range of data each line holds."""
    import pygimli as pg
    data = pg.DataContainerERT()
    ranges = {}
    offset = 0
    rows = []
    for name, xy in tracks.items():
        for (x, y), z in zip(xy, elevation(xy)):
            data.createSensor(pg.Pos(x, y, z))
        start = len(rows)
        rows += [tuple(offset + e for e in q) for q in dipole_dipole(len(xy))]
        ranges[name] = (start, len(rows))
        offset += len(xy)
    data.resize(len(rows))
    for token, column in zip("abmn", range(4)):
        data.set(token, [r[column] - 1 for r in rows])
    data.set("k", np.ones(len(rows)))
    data.markValid(np.ones(len(rows), dtype=bool))
    return data, ranges, np.array(rows)


def flat_factors(sensors, rows):
    """The geometric factors of a flat half-space (sensors in 3-D)."""
    def inv(i, j):
        return 1.0 / np.linalg.norm(sensors[i] - sensors[j], axis=1)
    a, b, m, n = (rows[:, c] - 1 for c in range(4))
    return 2.0 * np.pi / (inv(a, m) - inv(a, n) - inv(b, m) + inv(b, n))


def resistances(mesh, data, rho):
    from pygimli.physics import ert
    result = ert.simulate(mesh, scheme=data, res=rho, calcOnly=True, sr=False, verbose=False)
    return np.array(result["r"])


def write_line(path, name, xy, rows, r, err):
    """The unified data file of one line: map electrodes and resistances."""
    z = ground(xy[:, 0], xy[:, 1])
    text = ["# Synthetic site (tests/data/site/make_site.py): line %s, dipole-dipole, "
            "3-D forward computation, %g %% noise" % (name, NOISE * 100),
            "%d" % len(xy), "# x y z"]
    text += ["%.4f %.4f %.4f" % (x, y, h) for (x, y), h in zip(xy, z)]
    text += ["%d" % len(rows), "# a b m n r err"]
    text += ["%d %d %d %d %.6g %.4g" % (q[0], q[1], q[2], q[3], v, e) for q, v, e in zip(rows, r, err)]
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        f.write("\n".join(text) + "\n0\n")
    os.replace(tmp, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--check-only", action="store_true", help="the mesh and the uniform-ground check only")
    parser.add_argument("--cell", type=float, default=2.0, help="cell size around the site (m)")
    parser.add_argument("--electrode", type=float, default=0.25, help="cell size at the electrodes (m)")
    parser.add_argument("--p1", action="store_true", help="linear shape functions (quadratic by default)")
    args = parser.parse_args()
    start = time.time()
    tracks = lines()
    points = np.vstack(list(tracks.values()))
    inner = {"cell": args.cell, "electrode": args.electrode, "grade": 3.0,
             "box": ((-12.0, 72.0), (-24.0, 56.0), -25.0)}
    with tempfile.TemporaryDirectory() as workdir:
        mesh = make_mesh(points, inner, workdir)
    if not args.p1:
        mesh = mesh.createP2()
    print("mesh: %d nodes, %d tetrahedra (%.0f s)" % (mesh.nodeCount(), mesh.cellCount(), time.time() - start),
          flush=True)

    # The uniform ground on the flat world against the half-space's answer.
    flat, ranges, rows = scheme_of(tracks, lambda xy: np.zeros(len(xy)))
    sensors = np.array(flat.sensorPositions())
    k = flat_factors(sensors, rows)
    r = resistances(mesh, flat, np.full(mesh.cellCount(), HOST))
    deviation = k * r / HOST - 1.0
    print("uniform %g ohm-m, flat: rhoa/rho - 1 median %.4f, mean |.| %.4f, 95th |.| %.4f, max |.| %.4f (%.0f s)"
          % (HOST, np.median(deviation), np.mean(np.abs(deviation)), np.percentile(np.abs(deviation), 95),
             np.max(np.abs(deviation)), time.time() - start), flush=True)
    for i in np.argsort(-np.abs(deviation))[:3]:
        print("  worst: quadrupole %s of the whole scheme, %.4f" % (rows[i], deviation[i]), flush=True)

    lift(mesh)
    volume, ratio = tetra_quality(mesh)
    print("lifted mesh: smallest volume %.3g m^3 (%d not positive), mean ratio min %.3f, 1st percentile %.3f, "
          "median %.3f" % (volume.min(), int(np.sum(volume <= 0)), ratio.min(), np.percentile(ratio, 1),
                           np.median(ratio)), flush=True)
    if np.any(volume <= 0):
        sys.exit("the lifted mesh has inverted tetrahedra")
    if args.check_only:
        return

    centres = np.array(mesh.cellCenters())
    rho = true_resistivity(centres[:, 0], centres[:, 1], centres[:, 2] + BASE_ELEVATION)
    print("cells: %d block, %d layer" % (np.sum(rho == BLOCK), np.sum(rho == LAYER)), flush=True)
    data, ranges, rows = scheme_of(tracks, lambda xy: relief(xy[:, 0], xy[:, 1]))
    # The electrodes where the mesh has them (gmsh rounds their places in
    # the last digits; pyGIMLi asks for exact nodes).
    for i, p in enumerate(data.sensorPositions()):
        data.setSensorPosition(i, mesh.node(mesh.findNearestNode(p)).pos())
    r = resistances(mesh, data, rho)
    if not np.all(np.isfinite(r)) or np.any(r == 0):
        sys.exit("the forward computation gave a resistance that is not finite or is 0")
    noisy = r * (1.0 + NOISE * np.random.default_rng(SEED).standard_normal(len(r)))
    for name, (first, last) in ranges.items():
        lineRows = dipole_dipole(len(tracks[name]))
        write_line(os.path.join(args.out, name + ".dat"), name, tracks[name], lineRows, noisy[first:last],
                   np.full(last - first, NOISE))
    print("wrote %d lines to %s (%.0f s)" % (len(ranges), args.out, time.time() - start), flush=True)


if __name__ == "__main__":
    main()
