"""A monitoring series as an instrument gives it: three Syscal Pro text
exports, each with its reciprocals, noise of its own and a few bad readings,
inverted by the program's time-lapse inversion straight from the exports and
by pyGIMLi's difference inversion of the data the program keeps of them.

The ground: 150 ohm-m under a 0.3 m cover of 80 ohm-m; a zone near the
middle of the line (x 2.25-3.5 m from the first electrode, 0.5-1.5 m deep)
of the host's resistivity in the baseline, 40 % below it in the second
survey and 60 % below in the third (90, then 60 ohm-m).

The surveys: 24 electrodes 0.25 m apart, dipole-dipole of dipoles 1, 2 and
3 spacings long, n = 1..6, each configuration measured twice: as it is and
as its reciprocal (the current and the potential dipoles swapped), the
reciprocals in a sequence of their own after the normal readings. A reading
is the program's forward response (--forward --scheme) times 1 + s N(0, 1),
s 2, 3.5 and 5 % in the three surveys (each reading its own draw); three
normal readings per survey are off by a factor of 2 to 5 (up or down) and
one reading found no current (In 0). Each export: the instrument's
variant with the positions in metres from the first electrode (Spa.1 ..
Spa.4), its rhoa, Dev., M, Sp, Vp (mV) and In (mA), decimal points, CRLF.

The program: --timelapse over the three exports with --drop-reciprocal 25
(both readings of a pair differing by more than 25 % of their mean are
removed: the bad readings' pairs) and --reciprocal-error (the error of each
paired datum from the pairs' spread). pyGIMLi: the same exports converted by
the program's reading and cleaning (kept_data_writer, the data "Save kept
data" writes, with their errors), then ERTManager.invert of the baseline
(lam 20) and for each later survey the difference inversion against it on
the baseline's mesh (time_lapse.py's: the baseline's response moved by
the survey's change, the error of the difference sqrt(err_0^2 + err_t^2),
started from and regularised toward the baseline's model), over the data
the baseline and the survey both kept.

Checked: each export's reading (one datum skipped), every pair found and
the bad readings' pairs removed; each step's change image correlating at
least 0.8 with pyGIMLi's, sampled at the program's cell centres over the
middle 80 % of the line down to a sixth of its length. Each step prints the
correlation, the change recovered in the zone by both, chi-square and times."""

import math
import os
import re
import subprocess
import time
import unittest

import numpy as np
from pygimli.physics import ert

import program
import Inversion_test as single
import time_lapse

ARGUMENTS = None
ELECTRODES, SPACING = 24, 0.25
LINE = (ELECTRODES - 1) * SPACING
FIRST = 3.0                       # the first electrode's x in the section
WIDTH, DEPTH = LINE + 2 * FIRST, 5.0
DIPOLES, LEVELS = (1, 2, 3), 6
HOST = 150.0
COVER = (0.3, 80.0)               # thickness (m), ohm-m
ZONE = (2.25, 3.5, 0.5, 1.5)      # x along the line, top and bottom depths
ZONE_CHANGE = [0.0, -40.0, -60.0]  # per cent of the host's resistivity
NOISE = [0.02, 0.035, 0.05]
BAD_READINGS, BAD_FACTOR = 3, (2.0, 5.0)
CLEANING = ("--drop-reciprocal", "25", "--reciprocal-error")
LAMBDA = 20.0
CORRELATION = 0.8
HEADER = ",El-array,Spa.1,Spa.2,Spa.3,Spa.4,Rho ,Dev., M  ,Sp  ,Vp  ,In"


def write_ground(path, change):
    """The section of a survey: the cover, the host and the zone changed by CHANGE per cent."""
    x1, x2, top, bottom = ZONE
    time_lapse.write_section(path, WIDTH, DEPTH, HOST, [
        ("Cover", COVER[1], time_lapse.rectangle(0.0, WIDTH, 0.0, COVER[0])),
        ("Zone", HOST * (1.0 + change / 100.0), time_lapse.rectangle(FIRST + x1, FIRST + x2, top, bottom))])


def write_syscal_export(path, clean, noise, seed):
    """The survey's readings as the instrument exports them: the normal
    readings, then their reciprocals, each R = V/I of the forward response
    with its own noise; BAD_READINGS normal readings off by a factor, one
    reading without current. Returns the rows' count."""
    rng = np.random.default_rng(seed)
    x = [e[0] - FIRST for e in clean.electrodes]
    resistance = np.array(clean.columns["rhoa"]) / np.array(clean.columns["k"])
    k = np.array(clean.columns["k"])
    count = len(clean)
    normal = resistance * (1.0 + noise * rng.standard_normal(count))
    reciprocal = resistance * (1.0 + noise * rng.standard_normal(count))
    bad = rng.choice(count, BAD_READINGS, replace=False)
    normal[bad] *= rng.uniform(*BAD_FACTOR, BAD_READINGS) ** rng.choice([-1, 1], BAD_READINGS)
    failed = rng.choice(np.setdiff1d(np.arange(count), bad))
    rows = [HEADER]
    for readings, swapped in ((normal, False), (reciprocal, True)):
        for d, (a, b, m, n) in enumerate(clean.configurations()):
            if swapped:
                a, b, m, n = m, n, a, b
            current = rng.uniform(50.0, 500.0)
            if swapped and d == failed:
                current = 0.0
            rows.append(",Dipole-Dipole,%.2f,%.2f,%.2f,%.2f,%.2f,%.1f,0.00,%.1f,%.3f,%.3f" % (
                x[a - 1], x[b - 1], x[m - 1], x[n - 1], k[d] * readings[d], abs(rng.normal(0.0, 100.0 * noise / 3)),
                rng.uniform(-20.0, 20.0), readings[d] * current, current))
    with open(path, "w", encoding="latin-1", newline="") as file:
        file.write("\r\n".join(rows) + "\r\n")
    return len(rows) - 1


def invert_ours(files, prefix):
    """--timelapse over the exports: the images, chi-square and the time to
    each step's line (step 0 the baseline), and what the cleaning said."""
    start = time.perf_counter()
    process = subprocess.Popen([ARGUMENTS.program, "--timelapse", prefix, *files, *CLEANING],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    chi, reached = {}, {}
    for line in process.stdout:
        if line.startswith("step "):  # step K: chi-square X, rrms Y %
            step = int(line.split()[1].rstrip(":"))
            chi[step] = float(line.split("chi-square")[1].split(",")[0])
            reached[step] = time.perf_counter() - start
    errors = process.stderr.read()
    if process.wait() != 0:
        raise AssertionError("lithoprism --timelapse exited with %d: %s" % (process.returncode, errors.strip()))
    seconds = [reached[k] - reached.get(k - 1, 0.0) for k in range(len(files))]
    return [time_lapse.read_table("%s-%d.csv" % (prefix, k)) for k in range(len(files))], chi, seconds, errors


def configuration_keys(data):
    """Each datum's configuration by its electrodes' places, either order within a pair."""
    x = np.array(data.sensorPositions())[:, 0]
    pair = lambda p, q: tuple(sorted((round(x[p], 6), round(x[q], 6))))  # noqa: E731
    return [(pair(int(a), int(b)), pair(int(m), int(n)))
            for a, b, m, n in zip(data["a"], data["b"], data["m"], data["n"])]


def invert_pygimli(files):
    """The baseline, then each later survey's difference inversion against
    it over the data both kept; the times per step."""
    data = []
    for path in files:
        survey = ert.load(path)
        survey["rhoa"] = np.array(survey["r"]) * np.array(survey["k"])
        data.append(survey)
    start = time.perf_counter()
    manager = ert.ERTManager(data[0])
    model0 = np.array(manager.invert(lam=LAMBDA, verbose=False))
    response0 = np.array(manager.inv.response)
    seconds = [time.perf_counter() - start]
    chi = {0: manager.inv.chi2()}
    changes = [None]
    keys0 = configuration_keys(data[0])
    for t in range(1, len(files)):
        start = time.perf_counter()
        later = {key: i for i, key in enumerate(configuration_keys(data[t]))}
        kept = [i for i, key in enumerate(keys0) if key in later]
        match = [later[keys0[i]] for i in kept]
        difference = ert.load(files[0])
        difference.markInvalid([i for i in range(len(keys0)) if keys0[i] not in later])
        difference.removeInvalid()
        rhoa0, rhoa = np.array(data[0]["rhoa"])[kept], np.array(data[t]["rhoa"])[match]
        difference["rhoa"] = response0[kept] * rhoa / rhoa0
        difference["err"] = np.hypot(np.array(data[0]["err"])[kept], np.array(data[t]["err"])[match])
        step = ert.ERTManager(difference)
        model = np.array(step.invert(mesh=manager.mesh, startModel=model0, isReference=True, lam=LAMBDA,
                                     verbose=False))
        chi[t] = step.inv.chi2()
        changes.append(100.0 * (model / model0 - 1.0))
        seconds.append(time.perf_counter() - start)
    return manager.paraDomain, changes, chi, seconds


def cleaning_counts(errors):
    """Per survey, from --drop-reciprocal's lines: (data removed, pairs beyond, pairs)."""
    found = re.findall(r"drop-reciprocal: (\d+) data removed \((\d+) of (\d+) pairs? beyond", errors)
    return [tuple(int(v) for v in counts) for counts in found]


def geometric_mean_change(change):
    return 100.0 * math.expm1(float(np.mean(np.log1p(np.asarray(change) / 100.0))))


class SyscalSeries(unittest.TestCase):

    def test_conductive_zone_from_syscal_exports(self):
        with program.scratch_folder() as folder:
            scheme = os.path.join(folder, "scheme.dat")
            single.dipole_dipole_scheme(scheme, ELECTRODES, SPACING, FIRST, DIPOLES, LEVELS)
            exports, kept = [], []
            for t, (change, noise) in enumerate(zip(ZONE_CHANGE, NOISE)):
                section = os.path.join(folder, "ground-%d.sec" % t)
                write_ground(section, change)
                clean = program.forward(ARGUMENTS.program, os.path.join(folder, "clean-%d.dat" % t), section,
                                        "--scheme", scheme)
                export = os.path.join(folder, "survey-%d.csv" % t)
                rows = write_syscal_export(export, clean, noise, 41 + t)
                self.assertEqual(rows, 2 * len(clean))
                exports.append(export)
                kept.append(os.path.join(folder, "kept-%d.dat" % t))
                program.run(ARGUMENTS.kept_data, export, kept[-1], *CLEANING)
            ours, our_chi, our_seconds, said = invert_ours(exports, os.path.join(folder, "lapse"))
            mesh, theirs, their_chi, their_seconds = invert_pygimli(kept)

        # Each export read with its failed reading skipped; every other
        # configuration paired with its reciprocal, the bad readings' pairs removed.
        self.assertEqual(said.count("1 data of the file are skipped"), len(exports), said)
        counts = cleaning_counts(said)
        self.assertEqual(len(counts), len(exports), said)
        for removed, beyond, pairs in counts:
            self.assertEqual(pairs, len(clean) - 1)
            self.assertEqual(removed, 2 * beyond)
            self.assertGreaterEqual(beyond, BAD_READINGS)
            self.assertLessEqual(beyond, BAD_READINGS + 3)  # 25 % is 3.5 times the noisiest pairs' spread

        base = ours[0]
        x1, x2, top, bottom = ZONE
        window = ((base["x"] >= 0.1 * LINE) & (base["x"] <= 0.9 * LINE) & (base["depth"] <= LINE / 6.0))
        zone = ((base["x"] >= x1) & (base["x"] <= x2) & (base["depth"] >= top) & (base["depth"] <= bottom))
        print("\n%d cells in the window, %d in the zone; cleaning per survey (data removed, pairs beyond 25 %%, "
              "pairs): %s; baseline: chi-square ours %.3g, pyGIMLi %.3g; %.1f s ours, %.1f s pyGIMLi"
              % (int(window.sum()), int(zone.sum()), counts, our_chi[0], their_chi[0], our_seconds[0],
                 their_seconds[0]))
        failures = []
        for t in range(1, len(exports)):
            mine = ours[t]["change"]
            their = time_lapse.at_cells(mesh, theirs[t], base["x"], -base["depth"])
            compared = window & np.isfinite(their)
            correlation = float(np.corrcoef(mine[compared], their[compared])[0, 1])
            in_zone = zone & np.isfinite(their)
            print("step %d (true change %.0f %%, noise %.1f %%): correlation %.3f; in the zone ours %.1f %%, "
                  "pyGIMLi %.1f %%; chi-square ours %.3g, pyGIMLi %.3g; %.1f s ours, %.1f s pyGIMLi"
                  % (t, ZONE_CHANGE[t], 100 * NOISE[t], correlation, geometric_mean_change(mine[in_zone]),
                     geometric_mean_change(their[in_zone]), our_chi[t], their_chi[t], our_seconds[t],
                     their_seconds[t]))
            if not correlation >= CORRELATION:
                failures.append("step %d: correlation of the change images %.3f < %g" % (t, correlation, CORRELATION))
        self.assertFalse(failures, "; ".join(failures))


if __name__ == "__main__":
    program.run_tests(__doc__, globals())
