"""A drawn interface in the program's inversion side by side with pyGIMLi's
on the same noisy data: 30 ohm-m over 300 ohm-m, the interface dipping from
12 m to 24 m depth under a 48-electrode line 10 m apart (dipole-dipole of
one to three spacings, n up to 6; tests/data/section/inversion/
dipping-interface.sec).

The program inverts with --constrain on the section (the interface is its
body's boundary: the rows bent onto it, the smoothing cut across it at
weight 0), and without; pyGIMLi on a mesh whose parameter domain is two
regions that meet along the interface, their coupling set to 0
(setInterRegionCoupling), with ERTManager.invert(lam=20).

Compared in the well-covered part (Inversion_test.Coverage: down to the
largest median depth of investigation, under the pseudosection), each
side's area-weighted geometric mean of the cells whose centres lie on it:
the program's constrained relative error of each side no more than 10
percentage points beyond pyGIMLi's; the program's chi-square at most 1.2.
The unconstrained means are printed beside them. pyGIMLi's prior modelling
of a well log is not compared here."""

import os
import subprocess
import time
import unittest

import numpy as np
import pygimli as pg
import pygimli.meshtools as mt
from pygimli.physics import ert

import Inversion_test as base
import program

ARGUMENTS = None
LAMBDA = 20.0
NOISE = 0.03
SEED = 21
MARGIN = 10.0       # percentage points of relative error
CHI_SQUARE = 1.2
SCHEME = (48, 10.0, 365.0, (1, 2, 3), 6)


def interface_depth(x):
    return 12.0 + 12.0 * (x - 365.0) / 470.0


def invert_ours(measured, out, *extra):
    start = time.perf_counter()
    done = subprocess.run([ARGUMENTS.program, "--invert", out, measured, *extra], capture_output=True, text=True)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        raise AssertionError("lithoprism --invert exited with %d: %s" % (done.returncode, done.stderr.strip()))
    last = [line for line in done.stdout.splitlines() if line.startswith("inverted:")][-1]
    chi_square = float(last.split("chi-square")[1].split(",")[0])
    return base.Inverted(base.OurImage(out), seconds, chi_square, 0, 0)


def invert_pygimli(measured):
    """pyGIMLi on a mesh carrying the interface: two parameter regions (2
    above, 3 below) in a background (1), uncoupled across the interface."""
    data = ert.load(measured)
    left, right, bottom = 365.0 - 40.0, 835.0 + 40.0, -120.0
    upper = mt.createPolygon([[left, 0.0], [left, -interface_depth(left)], [right, -interface_depth(right)],
                              [right, 0.0]], isClosed=True, marker=2)
    lower = mt.createPolygon([[left, -interface_depth(left)], [left, bottom], [right, bottom],
                              [right, -interface_depth(right)]], isClosed=True, marker=3)
    world = mt.createWorld(start=[left - 600.0, -700.0], end=[right + 600.0, 0.0], worldMarker=True)
    geometry = world + upper + lower
    for sensor in data.sensors():
        geometry.createNode(sensor)
        geometry.createNode(sensor - [0.0, 1.0])
    mesh = mt.createMesh(geometry, quality=33.5, area=100.0, smooth=[1, 10])
    start = time.perf_counter()
    manager = ert.ERTManager(data)
    manager.setMesh(mesh)
    manager.fop.setRegionProperties(1, background=True)
    manager.fop.setRegionProperties(2, background=False)
    manager.fop.setRegionProperties(3, background=False)
    manager.fop.setInterRegionCoupling(2, 3, 0.0)
    manager.invert(lam=LAMBDA, verbose=False)
    seconds = time.perf_counter() - start
    domain = manager.paraDomain
    centres = np.array([c.center() for c in domain.cells()])
    image = base.Image(centres[:, 0], -centres[:, 1], [c.size() for c in domain.cells()], np.array(manager.model))
    return base.Inverted(image, seconds, manager.inv.chi2(), manager.inv.iter, domain.cellCount())


class DrawnInterface(unittest.TestCase):
    def test_dipping_interface(self):
        section = os.path.join(ARGUMENTS.data, "dipping-interface.sec")
        with program.scratch_folder() as folder:
            scheme = os.path.join(folder, "scheme.dat")
            base.dipole_dipole_scheme(scheme, *SCHEME)
            clean = program.forward(ARGUMENTS.program, os.path.join(folder, "clean.dat"), section, "--scheme", scheme)
            measured = os.path.join(folder, "measured.dat")
            program.write_noisy_data(measured, clean, SEED, NOISE)
            model = program.export_model(ARGUMENTS.program, section, folder)
            smooth = invert_ours(measured, os.path.join(folder, "smooth.csv"))
            cut = invert_ours(measured, os.path.join(folder, "cut.csv"), "--section", section, "--constrain")
            theirs = invert_pygimli(measured)

        truth = base.Truth(model, clean.electrodes)
        coverage = base.Coverage(clean)
        rows, failures = [], []
        for tag, (label, true_rho, _) in sorted(model.regions.items()):
            means = []
            for image in (smooth.image, cut.image, theirs.image):
                cells = base.region_cells(image, truth, coverage, tag, None)
                self.assertGreater(len(cells), 3, label)
                means.append(10 ** base.weighted_mean(np.log10(image.resistivity[cells]), image.area[cells]))
            errors = [100.0 * abs(mean / true_rho - 1.0) for mean in means]
            rows.append("%s (truth %g): ours smooth %.4g (%+.0f %%), ours cut %.4g (%+.0f %%), pyGIMLi %.4g (%+.0f %%)"
                        % (label, true_rho, means[0], 100 * (means[0] / true_rho - 1), means[1],
                           100 * (means[1] / true_rho - 1), means[2], 100 * (means[2] / true_rho - 1)))
            if errors[1] > errors[2] + MARGIN:
                failures.append("%s: ours %.0f %% off, pyGIMLi %.0f %%" % (label, errors[1], errors[2]))
        print("\ndipping interface: chi-square ours %.2f (smooth %.2f), pyGIMLi %.2f; %s; times ours %.1f s "
              "(smooth %.1f s), pyGIMLi %.1f s (%d cells)"
              % (cut.chi_square, smooth.chi_square, theirs.chi_square, "; ".join(rows), cut.seconds, smooth.seconds,
                 theirs.seconds, theirs.cells))
        if cut.chi_square > CHI_SQUARE:
            failures.append("our chi-square %.2f above %.1f" % (cut.chi_square, CHI_SQUARE))
        self.assertEqual(failures, [])


if __name__ == "__main__":
    program.run_tests(__doc__, globals())
