"""The program's time-lapse inversion over long monitoring series, side by
side with pyGIMLi on the same data.

Run one case alone (the build's program, the pyGIMLi environment):
  tests/section/pygimli/run-with-pygimli.sh build/test/pyvenv \\
    tests/section/pygimli/TimeLapseSeries_test.py --program build/test/section/lithoprism \\
    --data tests/data/section/inversion --examples examples -k test_growing_body
(-k test_infiltration_front, -k test_common_error for the others; without -k
all three). LP_LAPSE_STEPS=2,6,10 keeps only those later surveys of the two
ten-step series (a quicker look; the baseline always).

Every survey: 48 electrodes 1 m apart (x 4 to 51 m of a 55 m wide section),
dipole-dipole of dipoles 1, 2 and 4 spacings, n = 1 to 6 (633 data), the
program's forward response (--forward --scheme) of its section with its own
seeded 2 % Gaussian noise (err 0.02 in each file). Each series is inverted
by the program (--timelapse over its files) and by pyGIMLi twice: its
difference inversion (ERTManager at a fixed lambda 20, as TimeLapse_test.py:
the baseline, then each change's data d_t - d_0 + f(m_0) from m_0 toward
m_0) and its TimelapseERT (each survey inverted from the baseline's model
toward it, lambda 20), the latter printed, not held to a target (said so when
this pyGIMLi version cannot run it). pyGIMLi's models are sampled at the
program's cell centres. "Well covered": the best-covered 60 % of the
program's cells by the coverage column of the step's table.

A. test_growing_body: 200 ohm-m sand under a 1 m cover of 50 ohm-m, over
   70 ohm-m till from 12 m depth; an ellipse (32 nodes) 5 m deep under the
   line's middle turns 400 ohm-m (+100 %), its half-axes growing linearly
   from 4 x 1.4 m (step 1) to 13 x 3.7 m (step 10); it stays in the sand
   (top 1.3 m at most). The baseline holds the first ellipse at 200 ohm-m
   (every survey computed on a ground of the same kind of shape). Per step,
   the recovered change in the body: the geometric mean of 1 + change/100
   over the well-covered cells whose centres lie in the ellipse, less 1. It
   passes within 25 percentage points of the true +100 % (the ratio
   rho_t/rho_0 between 1.75 and 2.25), or when no farther from +100 % than
   pyGIMLi's difference inversion's mean over the same cells plus 10 points:
   the program's λ is the change's own (its predictive risk), which fits
   the first, smallest bodies to χ² 0.87 where pyGIMLi's fixed λ 20 goes
   to 0.81; a lower λ would recover a few points more here and paint the
   infiltration front's quiet ground (B) three times as often.
B. test_infiltration_front: layers of 300 ohm-m (0-2 m), 120 ohm-m (2-8 m)
   and 40 ohm-m (below 8 m); under the line's middle 20 m (x 17.5-37.5 m)
   the ground from the surface down to the front, 1.5 m deep at step 1 and
   1.5 m deeper each step (15 m at step 10), wetted to 0.33 times its
   layer's resistivity (-67 %). False changes per step: among the well
   covered cells more than 2 spacings (2 m) outside the wetted zone, the
   share whose change lies beyond +-5 %; below 10 % in every step, its
   mean over the steps below 8 % and no more than pyGIMLi's difference
   inversion's (the same cells) plus 1 point (pyGIMLi's at its fixed λ 20
   is about 30 %: its smooth change overshoots under the wetted zone). The change in the wetted zone (as A's mean)
   is printed.
C. Both series (checked within A and B): each step's change image
   correlating (Pearson) at least 0.8 with pyGIMLi's difference inversion,
   at the program's cell centres between 10 % and 90 % of the line and down
   to a sixth of its length (7.8 m).
D. test_common_error: the growing body's steps 4, 7 and 10 with a 3 %
   error common to every survey on top of the independent noise: each
   datum's rhoa times one fixed factor 1 + 0.03 N(0, 1), the same in every
   survey (the files' err stays 0.02: the independent part, as a repeated
   reading would tell it). False changes (well-covered cells more than 2 m
   outside the ellipse, beyond +-5 %): below 10 % in every step.
Each step prints one line with the program's and pyGIMLi's numbers and
times (the program's per step as its lines came, pyGIMLi's per inversion)."""

import math
import os
import time
import unittest

import numpy as np
from pygimli.physics import ert

import program
import time_lapse
import Inversion_test as single

ARGUMENTS = None
NOISE = 0.02
COMMON_ERROR = 0.03
LAMBDA = 20.0
COUNT, SPACING, FIRST = 48, 1.0, 4.0
SCHEME = (COUNT, SPACING, FIRST, (1, 2, 4), 6)
LENGTH = (COUNT - 1) * SPACING
WIDTH, DEPTH = FIRST + LENGTH + FIRST, 24.0
MIDDLE = FIRST + 0.5 * LENGTH
WELL_COVERED = 0.6          # the best-covered share of the cells
CHANGE_LIMIT = 5.0          # per cent: a change beyond it counts as one
QUIET_MARGIN = 2.0 * SPACING  # m outside the changed part: nothing changed there
FALSE_SHARE = 10.0          # per cent of the quiet cells, at most, every step
FALSE_MEAN = 8.0            # per cent of the quiet cells, at most, over the steps
FALSE_MEAN_MARGIN = 1.0     # percentage points over pyGIMLi's mean share
BODY_TOLERANCE = 25.0       # percentage points around the true change
BODY_MARGIN = 10.0          # percentage points farther from the truth than pyGIMLi (see A)
CORRELATION = 0.8

# A: the growing body.
COVER, SAND, TILL, BODY = 50.0, 200.0, 70.0, 400.0
COVER_DEPTH, TILL_DEPTH, BODY_DEPTH = 1.0, 12.0, 5.0
FIRST_AXES, LAST_AXES = (4.0, 1.4), (13.0, 3.7)
STEPS = 10
ELLIPSE_NODES = 32
# B: the infiltration front.
LAYERS = ((0.0, 2.0, 300.0), (2.0, 8.0, 120.0), (8.0, DEPTH, 40.0))  # top, bottom, ohm-m
WET_FACTOR = 0.33
WET_SPAN = (MIDDLE - 10.0, MIDDLE + 10.0)
FRONT_STEP = 1.5  # m deeper per step


def chosen_steps():
    """The later surveys of a ten-step series to run: LP_LAPSE_STEPS (e.g.
    "2,6,10") or all."""
    text = os.environ.get("LP_LAPSE_STEPS", "")
    return [int(s) for s in text.split(",") if s.strip()] or list(range(1, STEPS + 1))


def ellipse(step):
    """The body at STEP (1 to 10): its half-axes, linear in the step."""
    share = (step - 1) / (STEPS - 1)
    return tuple(f + share * (l - f) for f, l in zip(FIRST_AXES, LAST_AXES))


def ellipse_ring(axes):
    a, b = axes
    angles = 2.0 * math.pi * np.arange(ELLIPSE_NODES) / ELLIPSE_NODES
    return [(MIDDLE + a * math.cos(t), BODY_DEPTH + b * math.sin(t)) for t in angles]


def body_ground(axes, resistivity):
    """Sand (the host) under its cover, over the till, holding the ellipse."""
    return SAND, [("Cover", COVER, time_lapse.rectangle(0.0, WIDTH, 0.0, COVER_DEPTH)),
                  ("Till", TILL, time_lapse.rectangle(0.0, WIDTH, TILL_DEPTH, DEPTH)),
                  ("Body", resistivity, ellipse_ring(axes))]


def front_ground(front, factor):
    """The layers, cut into rectangles by the wetted stretch's sides and by
    the front's depth (so that neighbours meet at nodes); those over the
    stretch above the front times FACTOR."""
    depths = sorted({0.0, DEPTH, front} | {top for top, _, _ in LAYERS})
    columns = [(0.0, WET_SPAN[0]), WET_SPAN, (WET_SPAN[1], WIDTH)]
    bodies = []
    for top, bottom in zip(depths, depths[1:]):
        layer = next(rho for t, b, rho in LAYERS if t <= top < b)
        for column in columns:
            wet = column == WET_SPAN and bottom <= front
            bodies.append(("Wet" if wet else "Dry", layer * (factor if wet else 1.0),
                           time_lapse.rectangle(*column, top, bottom)))
    return LAYERS[1][2], bodies


def outside_distance(ring, x, depth):
    """Per point, its distance to the polygon RING (x, depth), 0 inside."""
    ring = np.asarray(ring)
    start, end = ring, np.roll(ring, -1, axis=0)
    points = np.stack([x, depth], axis=1)[:, None, :]
    edge = end - start
    along = np.clip(np.sum((points - start) * edge, axis=2) / np.sum(edge * edge, axis=1), 0.0, 1.0)
    distance = np.linalg.norm(points - (start + along[..., None] * edge), axis=2).min(axis=1)
    # Even-odd rule: a ray to +x crosses the edges whose depths straddle the point's.
    y0, y1 = start[:, 1], end[:, 1]
    straddles = (y0 > depth[:, None]) != (y1 > depth[:, None])
    with np.errstate(divide="ignore", invalid="ignore"):
        crossing = start[:, 0] + (depth[:, None] - y0) * (end[:, 0] - start[:, 0]) / (y1 - y0)
    inside = np.sum(straddles & (crossing > x[:, None]), axis=1) % 2 == 1
    return np.where(inside, 0.0, distance)


def well_covered(table):
    return table["coverage"] >= np.quantile(table["coverage"], 1.0 - WELL_COVERED)


def share_beyond(change):
    """The share, in per cent, of CHANGE beyond +-CHANGE_LIMIT (nan of none)."""
    return 100.0 * float(np.mean(np.abs(change) > CHANGE_LIMIT)) if len(change) else math.nan


def image_window(table):
    """C's window: the middle 80 % of the line, down to a sixth of its length."""
    return ((table["x"] >= FIRST + 0.1 * LENGTH) & (table["x"] <= FIRST + 0.9 * LENGTH)
            & (table["depth"] <= LENGTH / 6.0))


class Series:
    """A series of surveys of the grounds GROUNDS (host, bodies), made and
    inverted by the program and by pyGIMLi. COMMON: the relative size of
    an error common to every survey (none: 0). Holds the program's tables
    (ours), its chi-square and seconds per step, pyGIMLi's difference
    inversion (difference) and its TimelapseERT's changes (timelapse,
    None when it does not run)."""

    def __init__(self, name, grounds, seed, common=0.0):
        with program.scratch_folder() as folder:
            scheme = os.path.join(folder, "scheme.dat")
            single.dipole_dipole_scheme(scheme, *SCHEME)
            factor = None
            files = []
            for t, (host, bodies) in enumerate(grounds):
                section = os.path.join(folder, "%s-%d.sec" % (name, t))
                time_lapse.write_section(section, WIDTH, DEPTH, host, bodies)
                clean = program.forward(ARGUMENTS.program, os.path.join(folder, "clean-%d.dat" % t), section,
                                        "--scheme", scheme)
                if common:
                    if factor is None:
                        factor = 1.0 + common * np.random.default_rng(seed - 1).standard_normal(len(clean))
                    clean.columns["rhoa"] = list(np.array(clean.columns["rhoa"]) * factor)
                measured = os.path.join(folder, "survey-%d.dat" % t)
                program.write_noisy_data(measured, clean, seed + t, NOISE)
                files.append(measured)
            self.ours, self.our_chi, self.our_seconds = time_lapse.invert_ours(ARGUMENTS.program, files,
                                                                               os.path.join(folder, "lapse"))
            self.difference = time_lapse.DifferenceInversion(files, LAMBDA)
            self.timelapse, self.timelapse_mesh, self.timelapse_seconds = self.invert_timelapse(files)

    @staticmethod
    def invert_timelapse(files):
        """pyGIMLi's TimelapseERT over the series (lambda 20): the change per
        step in per cent against its baseline's model, its mesh, the
        seconds; None (said so) when this pyGIMLi cannot run it."""
        start = time.perf_counter()
        try:
            from pygimli.physics.ert import TimelapseERT
            series = TimelapseERT(DATA=[ert.load(f) for f in files])
            series.invert(lam=LAMBDA, verbose=False)
            models = np.array(series.models)
            changes = [None] + [100.0 * (m / models[0] - 1.0) for m in models[1:]]
            return changes, series.pd, time.perf_counter() - start
        except Exception as error:  # a version without it, or one that fails on the series
            print("\npyGIMLi's TimelapseERT does not run in this version (%s: %s): left out"
                  % (type(error).__name__, error))
            return None, None, 0.0

    def theirs(self, t, table):
        """pyGIMLi's changes of step T at the program's cell centres:
        the difference inversion's, and TimelapseERT's (None without)."""
        x, elevation = table["x"], -table["depth"]
        difference = time_lapse.at_cells(self.difference.mesh, self.difference.changes[t], x, elevation)
        timelapse = None
        if self.timelapse is not None:
            timelapse = time_lapse.at_cells(self.timelapse_mesh, self.timelapse[t], x, elevation)
        return difference, timelapse

    def correlation(self, t):
        """C: the change images' correlation with the difference inversion's."""
        table = self.ours[t]
        window = image_window(table)
        difference, _ = self.theirs(t, table)
        usable = window & np.isfinite(difference)
        return float(np.corrcoef(table["change"][usable], difference[usable])[0, 1])

    def headline(self, name):
        print("\n%s: chi-square of the baseline ours %.3g, pyGIMLi %.3g; seconds ours %.1f for the series "
              "(baseline %.1f), pyGIMLi's difference inversion %.1f (baseline %.1f), TimelapseERT %.1f"
              % (name, self.our_chi[0], self.difference.chi[0], self.our_seconds["total"], self.our_seconds[0],
                 sum(self.difference.seconds), self.difference.seconds[0], self.timelapse_seconds))

    def times(self, t):
        return "seconds ours %.1f, pyGIMLi %.1f" % (self.our_seconds[t], self.difference.seconds[t])


def timelapse_text(values, form):
    return "n/a" if values is None else form % values


class SideBySide(unittest.TestCase):

    def body_series(self, steps, seed, common=0.0):
        grounds = [body_ground(ellipse(steps[0]), SAND)] + [body_ground(ellipse(s), BODY) for s in steps]
        return Series("body", grounds, seed, common)

    def test_growing_body(self):
        """A and C: the change in the body; the images like pyGIMLi's."""
        steps = chosen_steps()
        series = self.body_series(steps, 101)
        series.headline("growing body")
        failures = []
        for t, step in enumerate(steps, start=1):
            table = series.ours[t]
            inside = well_covered(table) & (outside_distance(ellipse_ring(ellipse(step)), table["x"],
                                                             table["depth"]) == 0.0)
            difference, timelapse = series.theirs(t, table)
            usable = inside & np.isfinite(difference)
            ours = time_lapse.mean_change(table["change"][usable])
            theirs = time_lapse.mean_change(difference[usable])
            other = None if timelapse is None else time_lapse.mean_change(timelapse[usable & np.isfinite(timelapse)])
            correlation = series.correlation(t)
            truth = 100.0 * (BODY / SAND - 1.0)
            print("step %d (half-axes %.1f x %.1f m, %d cells): change in the body ours %.1f %%, pyGIMLi %.1f %%, "
                  "TimelapseERT %s (true %+.0f %%); correlation %.3f; chi-square ours %.3g, pyGIMLi %.3g; %s"
                  % (step, *ellipse(step), int(usable.sum()), ours, theirs, timelapse_text(other, "%.1f %%"), truth,
                     correlation, series.our_chi[t], series.difference.chi[t], series.times(t)))
            if not (abs(ours - truth) <= BODY_TOLERANCE or abs(ours - truth) <= abs(theirs - truth) + BODY_MARGIN):
                failures.append("step %d: change in the body %.1f %% (true %+.0f %%, pyGIMLi %.1f %%)"
                                % (step, ours, truth, theirs))
            if not correlation >= CORRELATION:
                failures.append("step %d: correlation with pyGIMLi's change %.3f < %g" % (step, correlation,
                                                                                         CORRELATION))
        self.assertFalse(failures, "; ".join(failures))

    def test_infiltration_front(self):
        """B and C: no change painted beside the front; the images like pyGIMLi's."""
        steps = chosen_steps()
        grounds = [front_ground(FRONT_STEP * steps[0], 1.0)] + [front_ground(FRONT_STEP * s, WET_FACTOR)
                                                                 for s in steps]
        series = Series("front", grounds, 201)
        series.headline("infiltration front")
        failures = []
        shares_ours, shares_theirs = [], []
        for t, step in enumerate(steps, start=1):
            table = series.ours[t]
            wetted = time_lapse.rectangle(*WET_SPAN, 0.0, FRONT_STEP * step)
            distance = outside_distance(wetted, table["x"], table["depth"])
            difference, timelapse = series.theirs(t, table)
            covered = well_covered(table) & np.isfinite(difference)
            quiet, inside = covered & (distance > QUIET_MARGIN), covered & (distance == 0.0)
            ours, theirs = share_beyond(table["change"][quiet]), share_beyond(difference[quiet])
            other = None if timelapse is None else share_beyond(timelapse[quiet & np.isfinite(timelapse)])
            shares_ours.append(ours)
            shares_theirs.append(theirs)
            correlation = series.correlation(t)
            print("step %d (front %.1f m): beyond %g %% where nothing changed ours %.1f %%, pyGIMLi %.1f %%, "
                  "TimelapseERT %s of %d cells; change in the wetted zone ours %.1f %%, pyGIMLi %.1f %% (true %.0f %%)"
                  "; correlation %.3f; chi-square ours %.3g, pyGIMLi %.3g; %s"
                  % (step, FRONT_STEP * step, CHANGE_LIMIT, ours, theirs, timelapse_text(other, "%.1f %%"),
                     int(quiet.sum()), time_lapse.mean_change(table["change"][inside]),
                     time_lapse.mean_change(difference[inside]), 100.0 * (WET_FACTOR - 1.0), correlation,
                     series.our_chi[t], series.difference.chi[t], series.times(t)))
            if not ours < FALSE_SHARE:
                failures.append("step %d: %.1f %% of the quiet cells changed beyond %g %%" % (step, ours,
                                                                                             CHANGE_LIMIT))
            if not correlation >= CORRELATION:
                failures.append("step %d: correlation with pyGIMLi's change %.3f < %g" % (step, correlation,
                                                                                         CORRELATION))
        mean_ours, mean_theirs = float(np.mean(shares_ours)), float(np.mean(shares_theirs))
        print("false changes over the steps: ours %.2f %%, pyGIMLi %.2f %%" % (mean_ours, mean_theirs))
        if not (mean_ours <= mean_theirs + FALSE_MEAN_MARGIN and mean_ours < FALSE_MEAN):
            failures.append("false changes over the steps %.2f %%, pyGIMLi's %.2f %%" % (mean_ours, mean_theirs))
        self.assertFalse(failures, "; ".join(failures))

    def test_common_error(self):
        """D: an error common to every survey paints no change."""
        steps = [4, 7, 10]
        series = self.body_series(steps, 301, COMMON_ERROR)
        series.headline("growing body with a common error of %g %%" % (100 * COMMON_ERROR))
        failures = []
        for t, step in enumerate(steps, start=1):
            table = series.ours[t]
            distance = outside_distance(ellipse_ring(ellipse(step)), table["x"], table["depth"])
            difference, timelapse = series.theirs(t, table)
            quiet = well_covered(table) & np.isfinite(difference) & (distance > QUIET_MARGIN)
            ours, theirs = share_beyond(table["change"][quiet]), share_beyond(difference[quiet])
            other = None if timelapse is None else share_beyond(timelapse[quiet & np.isfinite(timelapse)])
            print("step %d (half-axes %.1f x %.1f m): beyond %g %% where nothing changed ours %.1f %%, "
                  "pyGIMLi %.1f %%, TimelapseERT %s of %d cells; chi-square ours %.3g, pyGIMLi %.3g; %s"
                  % (step, *ellipse(step), CHANGE_LIMIT, ours, theirs, timelapse_text(other, "%.1f %%"),
                     int(quiet.sum()), series.our_chi[t], series.difference.chi[t], series.times(t)))
            if not ours < FALSE_SHARE:
                failures.append("step %d: %.1f %% of the quiet cells changed beyond %g %%" % (step, ours,
                                                                                             CHANGE_LIMIT))
        self.assertFalse(failures, "; ".join(failures))


if __name__ == "__main__":
    program.run_tests(__doc__, globals())
