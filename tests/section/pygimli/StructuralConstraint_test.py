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
The unconstrained means are printed beside them.

A resistivity log as prior data (tests/data/section/inversion/
three-layers.sec: 20 / 120 / 15 ohm-m over 400 ohm-m, interfaces at 8, 14
and 22 m; 32 electrodes 8 m apart, Schlumberger, n up to 10; a log of the
truth every 0.4 m down to 40 m at x = 198 m, the line's centre). The
program inverts with --well-logs (its default lateral reach and error:
the log's cell data in the columns within six spacings, their errors
growing with the distance), and without. pyGIMLi by its prior modelling
of a log: a JointModelling of the ERT operator and a PriorModelling that
takes the model at each sample's place, each sample a datum of 20 %
(the program's log error) beside the survey's, inverted together with
pg.Inversion (lam 20, log data and model) on its default parameter mesh
refined near the surface. pyGIMLi has no lateral reach for such data:
beside the well its image is the survey's and its smoothing's.

Compared on the log10 profile (every 0.4 m down to 3.5 spacings, each
image as drawn at those points) at the well and three spacings (24 m)
away: its correlation with the truth and its mean |log10 error|. Held:
the program's correlation at both places and its mean error three
spacings away no worse than pyGIMLi's; its mean error at the well within
WELL_ERROR_MARGIN of pyGIMLi's (pyGIMLi takes every sample as a datum, the
program one per cell at the log's error, so pyGIMLi binds its cells at the
well more tightly); three spacings away the program nearer the truth with
the log than without it; its survey chi-square at most 1.2."""

import os
import subprocess
import time
import unittest

import numpy as np
import pygimli as pg
import pygimli.meshtools as mt
from pygimli.frameworks import JointModelling, PriorModelling
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
# The three layers: electrodes, spacing, first electrode; the well; the log's samples and error.
LAYERS_SURVEY = ("--array", "schlumberger", "--electrodes", "32", "--spacing", "8", "--first", "76", "--levels", "10")
SPACING, WELL = 8.0, 76.0 + 15.25 * 8.0
BESIDE = WELL + 3 * SPACING
LOG_DEPTHS = np.arange(0.2, 40.0, 0.4)
LOG_ERROR = 0.2
PROFILE = np.arange(0.2, 3.5 * SPACING, 0.4)
WELL_ERROR_MARGIN = 0.05   # mean |log10 error| at the well
LAYERS_SEED = 31


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


def layered_truth(depth):
    return 20.0 if depth < 8.0 else 120.0 if depth < 14.0 else 15.0 if depth < 22.0 else 400.0


def write_well_log(folder):
    """The true log at the well as a well-log list, the program's --well-logs."""
    with open(os.path.join(folder, "well.log"), "w", encoding="utf-8") as file:
        for depth in LOG_DEPTHS:
            file.write("%g %g\n" % (depth, layered_truth(depth)))
    path = os.path.join(folder, "wells.crt")
    with open(path, "w", encoding="utf-8") as file:
        file.write("well.log\nborehole\n%g 5 0 0 0 0 0\n" % WELL)
    return path


def invert_pygimli_with_log(measured):
    """pyGIMLi's prior modelling of the log: the ERT operator and a
    PriorModelling at the samples' places, jointly inverted."""
    data = ert.load(measured)
    manager = ert.ERTManager(data)
    manager.setMesh(mt.createParaMesh(data.sensors(), paraDX=0.25, paraMaxCellSize=4.0, paraDepth=60.0,
                                      quality=33.5, boundary=0, paraBoundary=2))
    manager.fop.setData(data)
    domain = manager.paraDomain
    values = np.array([layered_truth(depth) for depth in LOG_DEPTHS])
    prior = PriorModelling(domain, [pg.Pos(WELL, -depth) for depth in LOG_DEPTHS])
    joint = JointModelling([manager.fop, prior])
    joint.setData([data, pg.Vector(values)])
    inversion = pg.Inversion(fop=joint, verbose=False)
    inversion.dataTrans = pg.trans.TransLog()
    inversion.modelTrans = pg.trans.TransLog()
    rhoa, error = np.array(data["rhoa"]), np.array(data["err"])
    start = time.perf_counter()
    model = np.array(inversion.run(np.concatenate([rhoa, values]), np.concatenate([error, np.full(len(values), LOG_ERROR)]),
                                   lam=LAMBDA, startModel=float(np.median(rhoa))))
    seconds = time.perf_counter() - start
    response = np.array(inversion.response)[:len(rhoa)]
    survey_chi_square = float(np.mean((np.log(response / rhoa) / error) ** 2))
    centres = np.array([c.center() for c in domain.cells()])
    image = base.Image(centres[:, 0], -centres[:, 1], [c.size() for c in domain.cells()], model)
    image.domain = domain
    return base.Inverted(image, seconds, survey_chi_square, inversion.iter, domain.cellCount())


def profile_scores(values):
    """Correlation of the log10 profile with the truth, and its mean |log10 error|."""
    image, truth = np.log10(values), np.log10([layered_truth(depth) for depth in PROFILE])
    return float(np.corrcoef(image, truth)[0, 1]), float(np.mean(np.abs(image - truth)))


def our_profile(inverted, x):
    return np.array([base.ours_at(inverted.image, x, depth) for depth in PROFILE])


def pygimli_profile(inverted, x):
    return base.pygimli_at(inverted, np.full(len(PROFILE), x), -PROFILE, inverted.image.resistivity)


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


class WellLog(unittest.TestCase):
    def test_well_log(self):
        section = os.path.join(ARGUMENTS.data, "three-layers.sec")
        with program.scratch_folder() as folder:
            clean = program.forward(ARGUMENTS.program, os.path.join(folder, "clean.dat"), section, *LAYERS_SURVEY)
            measured = os.path.join(folder, "measured.dat")
            program.write_noisy_data(measured, clean, LAYERS_SEED, NOISE)
            wells = write_well_log(folder)
            smooth = invert_ours(measured, os.path.join(folder, "smooth.csv"))
            logged = invert_ours(measured, os.path.join(folder, "logged.csv"), "--well-logs", wells)
            theirs = invert_pygimli_with_log(measured)

        scores = {}
        for name, inverted, profile in (("ours smooth", smooth, our_profile), ("ours", logged, our_profile),
                                        ("pyGIMLi", theirs, pygimli_profile)):
            for place, x in (("well", WELL), ("beside", BESIDE)):
                values = profile(inverted, x)
                self.assertTrue(np.isfinite(values).all(), "%s at %s" % (name, place))
                scores[name, place] = profile_scores(values)
        print("\nthree layers, a log at the well (r, mean |log10 error|): at the well ours %.3f, %.3f (smooth "
              "%.3f, %.3f), pyGIMLi %.3f, %.3f; three spacings away ours %.3f, %.3f (smooth %.3f, %.3f), pyGIMLi "
              "%.3f, %.3f; survey chi-square ours %.2f (smooth %.2f), pyGIMLi %.2f; times ours %.1f s, pyGIMLi "
              "%.1f s (%d cells)"
              % (scores["ours", "well"] + scores["ours smooth", "well"] + scores["pyGIMLi", "well"] +
                 scores["ours", "beside"] + scores["ours smooth", "beside"] + scores["pyGIMLi", "beside"] +
                 (logged.chi_square, smooth.chi_square, theirs.chi_square, logged.seconds, theirs.seconds,
                  theirs.cells)))
        failures = []
        for place in ("well", "beside"):
            if scores["ours", place][0] < scores["pyGIMLi", place][0]:
                failures.append("correlation at the %s: ours %.3f, pyGIMLi %.3f"
                                % (place, scores["ours", place][0], scores["pyGIMLi", place][0]))
        if scores["ours", "beside"][1] > scores["pyGIMLi", "beside"][1]:
            failures.append("mean error three spacings away: ours %.3f, pyGIMLi %.3f"
                            % (scores["ours", "beside"][1], scores["pyGIMLi", "beside"][1]))
        if scores["ours", "well"][1] > scores["pyGIMLi", "well"][1] + WELL_ERROR_MARGIN:
            failures.append("mean error at the well: ours %.3f, pyGIMLi %.3f"
                            % (scores["ours", "well"][1], scores["pyGIMLi", "well"][1]))
        if scores["ours", "beside"][1] >= scores["ours smooth", "beside"][1]:
            failures.append("three spacings away the log does not help: %.3f with it, %.3f without"
                            % (scores["ours", "beside"][1], scores["ours smooth", "beside"][1]))
        if logged.chi_square > CHI_SQUARE:
            failures.append("our chi-square %.2f above %.1f" % (logged.chi_square, CHI_SQUARE))
        self.assertEqual(failures, [])


if __name__ == "__main__":
    program.run_tests(__doc__, globals())
