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

import os
import unittest

import numpy as np

import program
import time_lapse
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


def write_section(path, rectangle, resistivity, width=WIDTH, depth=DEPTH):
    """A section WIDTH x DEPTH of a 100 ohm-m host holding one rectangular
    body (x1, x2, top, bottom depths) of the given resistivity (the
    baseline: a body of the host's resistivity, so that every survey is
    computed on grounds of one shape)."""
    time_lapse.write_section(path, width, depth, HOST, [("Plume", resistivity, time_lapse.rectangle(*rectangle))])


def invert_pygimli(files):
    """The baseline, then each later survey's difference inversion against it."""
    inversion = time_lapse.DifferenceInversion(files, LAMBDA)
    return inversion.mesh, inversion.changes, inversion.chi, sum(inversion.seconds)


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
            ours, our_chi, our_seconds = time_lapse.invert_ours(ARGUMENTS.program, files,
                                                                os.path.join(folder, "lapse"))
            mesh, theirs, their_chi, their_seconds = invert_pygimli(files)

        coverage = single.Coverage(clean)
        base = ours[0]
        covered = np.array([coverage.covers(x, d) for x, d in zip(base["x"], base["depth"])])
        x, depth = base["x"][covered], base["depth"][covered]
        print("\n%d cells of ours in the well-covered part; time-lapse ours %.1f s, pyGIMLi %.1f s; chi-square of "
              "the baseline ours %.3g, pyGIMLi %.3g" % (len(x), our_seconds["total"], their_seconds, our_chi[0],
                                                        their_chi[0]))
        false_ours = false_theirs = quiet_total = 0
        for t in range(1, len(files)):
            mine = ours[t]["change"][covered]
            their = time_lapse.at_cells(mesh, theirs[t], x, -depth)
            usable = np.isfinite(their)
            correlation = float(np.corrcoef(mine[usable], their[usable])[0, 1])
            quiet = usable & (plume_distance(PLUMES[t], x, depth) >= QUIET_MARGIN)
            inside = usable & (plume_distance(PLUMES[t], x, depth) == 0.0)
            ours_false = int(np.sum(np.abs(mine[quiet]) > FALSE_LIMIT))
            their_false = int(np.sum(np.abs(their[quiet]) > FALSE_LIMIT))
            false_ours += ours_false
            false_theirs += their_false
            quiet_total += int(quiet.sum())
            print("step %d (true change %.0f %%): correlation %.3f; in the plume ours %.1f %%, pyGIMLi %.1f %%; "
                  "beyond %g %% where nothing changed: ours %d, pyGIMLi %d of %d cells; chi-square ours %.3g, "
                  "pyGIMLi %.3g"
                  % (t, 100.0 * (PLUME_RESISTIVITY[t] / HOST - 1.0), correlation,
                     time_lapse.mean_change(mine[inside]), time_lapse.mean_change(their[inside]), FALSE_LIMIT,
                     ours_false, their_false, int(quiet.sum()), our_chi[t], their_chi[t]))
            if not correlation >= CORRELATION:
                failures.append("step %d: correlation of the change images %.3f < %g" % (t, correlation, CORRELATION))
        if false_ours > false_theirs:
            failures.append("false changes: ours %d, pyGIMLi's %d of %d cells" % (false_ours, false_theirs,
                                                                                 quiet_total))
        self.assertFalse(failures, "; ".join(failures))


if __name__ == "__main__":
    program.run_tests(__doc__, globals())
