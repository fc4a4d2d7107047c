"""What the time-lapse tests side by side with pyGIMLi share: sections of
polygons written as the program reads them, the program's --timelapse run
and its cell tables, pyGIMLi's difference inversion of the same series, and
pyGIMLi's models sampled at the program's cell centres."""

import csv
import math
import subprocess
import time

import numpy as np
import pygimli as pg
from pygimli.physics import ert


def number(value):
    """A number as the section file writes it: 14 decimals, a four-digit exponent."""
    mantissa, exponent = ("%.14E" % value).split("E")
    return " %sE%s%04d" % (mantissa, exponent[0], abs(int(exponent)))


def write_section(path, width, depth, host, bodies):
    """A section WIDTH x DEPTH of a HOST ohm-m ground holding BODIES, each
    (label, resistivity, ring) with the ring a list of (x, depth) points;
    each body has nodes of its own (neighbouring bodies repeat the points
    they share). Labels are single words."""
    points = [(0.0, 0.0), (0.0, depth), (width, depth), (width, 0.0)]
    rings = []
    for _, _, ring in bodies:
        rings.append(" ".join(str(len(points) + i) for i in range(len(ring))) + " ")
        points += ring
    lines = [number(0) + number(0) + number(0) + number(width), number(0) + number(depth), "",
             "VexaPolyModelDescription2.0", number(0) + number(0),
             number(0) + number(width) + number(0) + number(depth), "0 0", "", str(len(points))]
    lines += [number(x) + number(y) + " 0 0 0" for x, y in points]
    lines += [str(1 + len(bodies)), "1", "-1 * * * * * * * * * %.3f * * * * * * * * * " % host, "0 1 2 3 0 3 2 1 "]
    for (label, resistivity, _), ring in zip(bodies, rings):
        lines += ["1", "1 * * * * * * %s * * %.3f * * * * * * * * * " % (label, resistivity), ring]
    lines += ["0", "EndPolyModelDescription2.0", ""]
    with open(path, "w", encoding="utf-8") as file:
        file.write("\n".join(lines))


def rectangle(x1, x2, top, bottom):
    """A rectangle's ring (x, depth)."""
    return [(x1, top), (x2, top), (x2, bottom), (x1, bottom)]


def read_table(path):
    """A cell table of the program: cell centres (x, depth below the
    surface), resistivity, change_percent (the later steps), coverage."""
    with open(path, encoding="utf-8", newline="") as file:
        rows = list(csv.DictReader(file))
    value = lambda name: np.array([float(row[name]) for row in rows])  # noqa: E731
    x1, x2, z1, z2 = (value(c) for c in ("x1", "x2", "z1", "z2"))
    table = {"x": 0.5 * (x1 + x2), "depth": 0.5 * (z1 + z2), "resistivity": value("resistivity")}
    for name, key in (("change_percent", "change"), ("coverage", "coverage")):
        if name in rows[0]:
            table[key] = value(name)
    return table


def invert_ours(program, files, prefix):
    """The program's --timelapse over FILES: its tables per step (0 the
    baseline), the chi-square it printed per step, and the seconds: per
    step as its lines came, "total" the whole run's."""
    start = last = time.perf_counter()
    chi, seconds = {}, {}
    with subprocess.Popen([program, "--timelapse", prefix, *files], stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True) as process:
        for line in process.stdout:
            if line.startswith("step "):  # step K: chi-square X, ...
                step = int(line.split()[1].rstrip(":"))
                chi[step] = float(line.split("chi-square")[1].split(",")[0])
                now = time.perf_counter()
                seconds[step], last = now - last, now
        errors = process.stderr.read()
    if process.returncode != 0:
        raise AssertionError("lithoprism --timelapse exited with %d: %s" % (process.returncode, errors.strip()))
    seconds["total"] = time.perf_counter() - start
    return [read_table("%s-%d.csv" % (prefix, k)) for k in range(len(files))], chi, seconds


class DifferenceInversion:
    """pyGIMLi's inversion of a series: ERTManager.invert of the baseline
    (fixed LAM), then for each later survey t the difference inversion
    against it on the baseline's mesh: the data rhoa'_t = response_0 *
    rhoa_t / rhoa_0 (ln rhoa'_t = f(m_0) + ln rhoa_t - ln rhoa_0) with the
    error of the difference, sqrt(err_0^2 + err_t^2), started from the
    baseline's model and regularised toward it (startModel = m_0,
    isReference=True, the same LAM): the objective the program minimises.
    Holds the mesh (paraDomain), the change per step in per cent (None for
    the baseline), the chi-square per step and the seconds per step."""

    def __init__(self, files, lam):
        data = [ert.load(f) for f in files]
        start = time.perf_counter()
        manager = ert.ERTManager(data[0])
        model0 = np.array(manager.invert(lam=lam, verbose=False))
        response0 = np.array(manager.inv.response)
        self.mesh = manager.paraDomain
        self.chi = {0: manager.inv.chi2()}
        self.seconds = [time.perf_counter() - start]
        self.changes = [None]
        for t in range(1, len(files)):
            start = time.perf_counter()
            difference = ert.load(files[t])
            difference["rhoa"] = response0 * np.array(data[t]["rhoa"]) / np.array(data[0]["rhoa"])
            difference["err"] = np.sqrt(np.array(data[0]["err"]) ** 2 + np.array(data[t]["err"]) ** 2)
            step = ert.ERTManager(difference)
            model = np.array(step.invert(mesh=manager.mesh, startModel=model0, isReference=True, lam=lam,
                                         verbose=False))
            self.chi[t] = step.inv.chi2()
            self.changes.append(100.0 * (model / model0 - 1.0))
            self.seconds.append(time.perf_counter() - start)


def at_cells(mesh, values, x, elevation):
    """VALUES of MESH's cells at the points (x, elevation); nan outside it."""
    found = []
    for xi, yi in zip(x, elevation):
        cell = mesh.findCell(pg.Pos(float(xi), float(yi)))
        found.append(values[cell.id()] if cell is not None else math.nan)
    return np.array(found)


def mean_change(change):
    """The geometric mean of 1 + change / 100 less 1, in per cent (nan of no cells)."""
    change = np.asarray(change)
    if change.size == 0:
        return math.nan
    return 100.0 * math.expm1(float(np.mean(np.log1p(change / 100.0))))
