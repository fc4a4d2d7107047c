"""The program's time-lapse inversion side by side with pyGIMLi's difference
inversion on the same series of surveys.

The series: a line of 32 electrodes 1 m apart (dipole-dipole of dipoles 1, 2
and 3 m long, n up to 6) over a 100 ohm-m ground in which a conductive plume
grows: none in the baseline, then 50, 30 and 20 ohm-m in a rectangle growing
from x 17-22 m, 0.25-1.75 m deep to x 15-24 m, 0.25-3.25 m deep. Each
survey is the program's forward response (--forward --scheme) of its
section, with its own seeded 2 % Gaussian noise (err 0.02 in each file).

The program: --timelapse over the four files. pyGIMLi: ERTManager.invert
of the baseline (lam 20), then for each later survey t the difference
inversion against it on the baseline's mesh: the data
rhoa'_t = response_0 * rhoa_t / rhoa_0 (ln rhoa'_t = f(m_0) + ln rhoa_t -
ln rhoa_0) with the error of the difference, sqrt(err_0^2 + err_t^2),
started from the baseline's model and regularised toward it
(startModel = m_0, isReference=True, lam 20): the same objective the
program minimises.

Compared, at the program's cell centres in the well-covered part (no
deeper than the deepest median depth of investigation, between the
outermost midpoints of the data reaching the depth; as Inversion_test.py):
  - the change in per cent, 100 (rho_t / rho_0 - 1): Pearson correlation of
    the two images at least 0.8 for every step;
  - false changes: the share of the well-covered cells at least a spacing
    away from the plume (where nothing changed) whose change lies beyond
    +-5 %: the program's no more than pyGIMLi's (summed over the steps).
Each step prints a line with both images' numbers and the times."""

import csv
import math
import os
import subprocess
import time
import unittest

import numpy as np
from pygimli.physics import ert

import program
import Inversion_test as single

ARGUMENTS = None
HOST = 100.0
PLUMES = [None, (17.0, 22.0, 0.25, 1.75), (16.0, 23.0, 0.25, 2.5), (15.0, 24.0, 0.25, 3.25)]
PLUME_RESISTIVITY = [HOST, 50.0, 30.0, 20.0]
NOISE = 0.02
LAMBDA = 20.0
CORRELATION = 0.8
FALSE_LIMIT = 5.0   # per cent of change
QUIET_MARGIN = 1.0  # m from the plume: nothing changed there
WIDTH, DEPTH = 39.0, 14.0
SCHEME = (32, 1.0, 4.0, (1, 2, 3), 6)


def number(value):
    """A number as the section file writes it: 14 decimals, a four-digit exponent."""
    mantissa, exponent = ("%.14E" % value).split("E")
    return " %sE%s%04d" % (mantissa, exponent[0], abs(int(exponent)))


def write_bodies(path, width, depth, host, bodies):
    """A section WIDTH x DEPTH of a HOST ohm-m medium holding BODIES, each
    (label, a single word; its outline as (x, depth) points; its resistivity).
    A body inside another takes the place it covers (the innermost ring's)."""
    points = [(0.0, 0.0), (0.0, depth), (width, depth), (width, 0.0)]
    rings = []
    for label, outline, resistivity in bodies:
        rings.append("1 * * * * * * %s * * %.3f * * * * * * * * * " % (label, resistivity))
        rings.append(" ".join(str(len(points) + i) for i in range(len(outline))) + " ")
        points += outline
    lines = [number(0) + number(0) + number(0) + number(width), number(0) + number(depth), "",
             "VexaPolyModelDescription2.0", number(0) + number(0),
             number(0) + number(width) + number(0) + number(depth), "0 0", "", str(len(points))]
    lines += [number(x) + number(y) + " 0 0 0" for x, y in points]
    lines += [str(len(bodies) + 1), "1", "-1 * * * * * * * * * %.3f * * * * * * * * * " % host, "0 1 2 3 0 3 2 1 "]
    for k in range(0, len(rings), 2):
        lines += ["1", rings[k], rings[k + 1]]
    lines += ["0", "EndPolyModelDescription2.0", ""]
    with open(path, "w", encoding="utf-8") as file:
        file.write("\n".join(lines))


def rectangle_outline(rectangle):
    """The outline of a rectangle (x1, x2, top, bottom depths), clockwise on the page."""
    x1, x2, top, bottom = rectangle
    return [(x1, top), (x2, top), (x2, bottom), (x1, bottom)]


def write_section(path, rectangle, resistivity, width=WIDTH, depth=DEPTH):
    """A section WIDTH x DEPTH of a 100 ohm-m host holding one rectangular
    body (x1, x2, top, bottom depths) of the given resistivity (the
    baseline: a body of the host's resistivity, so that every survey is
    computed on grounds of one shape)."""
    write_bodies(path, width, depth, HOST, [("Plume", rectangle_outline(rectangle), resistivity)])


def read_table(path):
    with open(path, encoding="utf-8", newline="") as file:
        rows = list(csv.DictReader(file))
    value = lambda name: np.array([float(row[name]) for row in rows])  # noqa: E731
    x1, x2, z1, z2 = (value(c) for c in ("x1", "x2", "z1", "z2"))
    table = {"x": 0.5 * (x1 + x2), "depth": 0.5 * (z1 + z2), "resistivity": value("resistivity")}
    if "change_percent" in rows[0]:
        table["change"] = value("change_percent")
    return table


def invert_ours(files, prefix):
    start = time.perf_counter()
    done = subprocess.run([ARGUMENTS.program, "--timelapse", prefix, *files], capture_output=True, text=True)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        raise AssertionError("lithoprism --timelapse exited with %d: %s" % (done.returncode, done.stderr.strip()))
    chi = {}
    for line in done.stdout.splitlines():
        if line.startswith("step "):  # step K: chi-square X, rrms Y %
            chi[int(line.split()[1].rstrip(":"))] = float(line.split("chi-square")[1].split(",")[0])
    return [read_table("%s-%d.csv" % (prefix, k)) for k in range(len(files))], chi, seconds


def invert_pygimli(files):
    """The baseline, then each later survey's difference inversion against it."""
    start = time.perf_counter()
    data = [ert.load(f) for f in files]
    manager = ert.ERTManager(data[0])
    model0 = np.array(manager.invert(lam=LAMBDA, verbose=False))
    response0 = np.array(manager.inv.response)
    mesh = manager.paraDomain
    chi = {0: manager.inv.chi2()}
    changes = [None]
    for t in range(1, len(files)):
        difference = ert.load(files[t])
        difference["rhoa"] = response0 * np.array(data[t]["rhoa"]) / np.array(data[0]["rhoa"])
        difference["err"] = np.sqrt(np.array(data[0]["err"]) ** 2 + np.array(data[t]["err"]) ** 2)
        step = ert.ERTManager(difference)
        model = np.array(step.invert(mesh=manager.mesh, startModel=model0, isReference=True, lam=LAMBDA,
                                     verbose=False))
        chi[t] = step.inv.chi2()
        changes.append(100.0 * (model / model0 - 1.0))
    seconds = time.perf_counter() - start
    return mesh, changes, chi, seconds


def at_cells(mesh, values, x, elevation):
    found = []
    for xi, yi in zip(x, elevation):
        cell = mesh.findCell(single.pg.Pos(float(xi), float(yi)))
        found.append(values[cell.id()] if cell is not None else math.nan)
    return np.array(found)


def plume_distance(rectangle, x, depth):
    x1, x2, top, bottom = rectangle
    dx = np.maximum.reduce([x1 - x, np.zeros_like(x), x - x2])
    dz = np.maximum.reduce([top - depth, np.zeros_like(depth), depth - bottom])
    return np.hypot(dx, dz)


class SideBySide(unittest.TestCase):

    def test_growing_plume(self):
        failures = []
        with program.scratch_folder() as folder:
            scheme = os.path.join(folder, "scheme.dat")
            single.dipole_dipole_scheme(scheme, *SCHEME)
            files = []
            for t, (plume, rho) in enumerate(zip(PLUMES, PLUME_RESISTIVITY)):
                section = os.path.join(folder, "plume-%d.sec" % t)
                write_section(section, plume or PLUMES[1], rho)
                clean = program.forward(ARGUMENTS.program, os.path.join(folder, "clean-%d.dat" % t), section,
                                        "--scheme", scheme)
                measured = os.path.join(folder, "survey-%d.dat" % t)
                program.write_noisy_data(measured, clean, 31 + t, NOISE)
                files.append(measured)
            ours, our_chi, our_seconds = invert_ours(files, os.path.join(folder, "lapse"))
            mesh, theirs, their_chi, their_seconds = invert_pygimli(files)

        coverage = single.Coverage(clean)
        base = ours[0]
        covered = np.array([coverage.covers(x, d) for x, d in zip(base["x"], base["depth"])])
        x, depth = base["x"][covered], base["depth"][covered]
        print("\n%d cells of ours in the well-covered part; time-lapse ours %.1f s, pyGIMLi %.1f s; chi-square of "
              "the baseline ours %.3g, pyGIMLi %.3g" % (len(x), our_seconds, their_seconds, our_chi[0], their_chi[0]))
        false_ours = false_theirs = quiet_total = 0
        for t in range(1, len(files)):
            mine = ours[t]["change"][covered]
            their = at_cells(mesh, theirs[t], x, -depth)
            usable = np.isfinite(their)
            correlation = float(np.corrcoef(mine[usable], their[usable])[0, 1])
            quiet = usable & (plume_distance(PLUMES[t], x, depth) >= QUIET_MARGIN)
            inside = usable & (plume_distance(PLUMES[t], x, depth) == 0.0)
            ours_false = int(np.sum(np.abs(mine[quiet]) > FALSE_LIMIT))
            their_false = int(np.sum(np.abs(their[quiet]) > FALSE_LIMIT))
            false_ours += ours_false
            false_theirs += their_false
            quiet_total += int(quiet.sum())
            mean = lambda c: 100.0 * math.expm1(float(np.mean(np.log1p(c / 100.0))))  # noqa: E731
            print("step %d (true change %.0f %%): correlation %.3f; in the plume ours %.1f %%, pyGIMLi %.1f %%; "
                  "beyond %g %% where nothing changed: ours %d, pyGIMLi %d of %d cells; chi-square ours %.3g, "
                  "pyGIMLi %.3g"
                  % (t, 100.0 * (PLUME_RESISTIVITY[t] / HOST - 1.0), correlation, mean(mine[inside]),
                     mean(their[inside]), FALSE_LIMIT, ours_false, their_false, int(quiet.sum()), our_chi[t],
                     their_chi[t]))
            if not correlation >= CORRELATION:
                failures.append("step %d: correlation of the change images %.3f < %g" % (t, correlation, CORRELATION))
        if false_ours > false_theirs:
            failures.append("false changes: ours %d, pyGIMLi's %d of %d cells" % (false_ours, false_theirs,
                                                                                 quiet_total))
        self.assertFalse(failures, "; ".join(failures))


if __name__ == "__main__":
    program.run_tests(__doc__, globals())
