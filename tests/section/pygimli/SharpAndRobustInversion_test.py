"""The program's sharp-boundary (--blocky) and robust (--robust) inversions
side by side with its smooth one and with pyGIMLi's blockyModel inversion,
on data pyGIMLi computes here.

The ground: 50 ohm-m over 500 ohm-m, the interface 6 m deep. The survey:
48 electrodes 2 m apart, dipole-dipole of dipoles 1 and 2 spacings long,
n = 1..6 for each. pyGIMLi's ert.simulate computes the apparent
resistivities on its own mesh with 3 % Gaussian noise (seeded); both
programs read them from one unified data file with err 0.03.

The sharp boundaries: the program's --blocky image and its smooth one, and
pyGIMLi's ERTManager.invert(lam=20, blockyModel=True), each read along a
column under the line's middle (x 47 m): the log10 resistivity's step from
the upper layer (the median over 0.5-3 m) to the lower (the highest value
from 6 m to 14 m), and the depth over which the image climbs from 10 % to
90 % of it. Held: --blocky's width at most 0.6 times the smooth image's and
at most 1.2 times pyGIMLi's; the upper layer (area-weighted geometric mean
of the cells from 0.5 m to 4.5 m deep in the middle half of the line)
within 15 % of 50 ohm-m; the lower (the cells from 7 m to 10 m) within 25 %
of pyGIMLi's blocky image there, and nearer 500 ohm-m than the smooth
image: the interface lies at the survey's depth of investigation (the
deepest dipoles see half their sensitivity above about 7 m), and neither
program's image reaches 500 ohm-m below it (both near 300); chi-square at
most 1.5.

Three blocks: a 400 ohm-m and a 20 ohm-m block 12 m wide, 2 to 7 m deep, in
50 ohm-m (the same survey): --blocky's 400 ohm-m block within 15 % of its
value and a step at each of its side edges (half of the host-to-block step
between the two columns beside the edge), beside pyGIMLi's blocky model.

The bad data: the same data with 5 % of them (seeded) 1.5 times too large.
Held: --robust's image on them correlates at least 0.95 (log10, cell by
cell over the middle half of the line down to 10 m) with the smooth image
of the clean data, and better than the smooth image of the bad data does.
Printed: the widths, the layers, the correlations, chi-square and times."""

import math
import os
import time
import unittest

import numpy as np
import pygimli as pg
import pygimli.meshtools as mt
from pygimli.physics import ert

import program
import Inversion_test as single

ARGUMENTS = None
ELECTRODES, SPACING = 48, 2.0
LINE = (ELECTRODES - 1) * SPACING
DIPOLES, LEVELS = (1, 2), 6
UPPER, LOWER, INTERFACE = 50.0, 500.0, 6.0
NOISE, SEED = 0.03, 7
BAD_SHARE, BAD_FACTOR = 0.05, 1.5
LAMBDA = 20.0
MIDDLE = LINE / 2.0


def simulated_data(folder):
    """pyGIMLi's noisy apparent resistivities of the two layers, as its data container."""
    scheme_path = os.path.join(folder, "scheme.dat")
    single.dipole_dipole_scheme(scheme_path, ELECTRODES, SPACING, 0.0, DIPOLES, LEVELS)
    scheme = ert.load(scheme_path)
    world = mt.createWorld(start=[-60.0, 0.0], end=[LINE + 60.0, -60.0], layers=[-INTERFACE], worldMarker=False)
    for p in scheme.sensorPositions():
        world.createNode(p)
        world.createNode(p + pg.Pos(0.0, -0.1))
    mesh = mt.createMesh(world, quality=34, area=2.0)
    # createWorld numbers its layers from the top: 1 the upper, 2 the lower.
    return ert.simulate(mesh, scheme=scheme, res=[[1, UPPER], [2, LOWER]], noiseLevel=100 * NOISE, noiseAbs=0.0,
                        seed=SEED, verbose=False)


def write_data(path, data, rhoa):
    """A unified data file of the scheme's electrodes and configurations (with their k) with RHOA and err NOISE."""
    x = [p[0] for p in data.sensorPositions()]
    with open(path, "w", encoding="utf-8") as file:
        file.write("# two layers simulated by pyGIMLi, 3 % noise: rhoa in ohm-m, err a fraction\n")
        file.write("%d\n# x z\n" % len(x))
        file.writelines("%.17g 0\n" % v for v in x)
        file.write("%d\n# a b m n k rhoa err\n" % data.size())
        for a, b, m, n, k, r in zip(data["a"], data["b"], data["m"], data["n"], data["k"], rhoa):
            file.write("%d %d %d %d %.17g %.17g %g\n" % (a + 1, b + 1, m + 1, n + 1, k, r, NOISE))
        file.write("0\n")


def invert_ours(data_file, out, *options):
    """The program's image, with its chi-square and time."""
    single.ARGUMENTS = ARGUMENTS
    inverted = single.invert_ours(data_file, out, options=options)
    image = inverted.image
    image.chi_square, image.seconds = inverted.chi_square, inverted.seconds
    return image


def our_profile(image, depths):
    """log10 resistivity down the column holding the line's middle, linear between the cells' centres."""
    for (x1, x2), cells in image.columns.items():
        if x1 <= MIDDLE <= x2:
            return np.interp(depths, image.depth[cells], np.log10(image.resistivity[cells]))
    raise AssertionError("no column holds x = %g" % MIDDLE)


def their_profile(domain, model, depths):
    """log10 of pyGIMLi's model down x = MIDDLE, by its cells."""
    return np.array([math.log10(model[domain.findCell(pg.Pos(MIDDLE, -float(z))).id()]) for z in depths])


def step_width(depths, profile):
    """The depths over which PROFILE climbs from 10 % to 90 % of its step (the upper layer's
    median over 0.5-3 m to the highest value from 6 m to 14 m); the first crossing each."""
    top = float(np.median(profile[(depths >= 0.5) & (depths <= 3.0)]))
    bottom = float(profile[(depths >= INTERFACE) & (depths <= 14.0)].max())

    def crossing(share):
        level = top + share * (bottom - top)
        i = int(np.argmax(profile >= level))
        if i == 0:
            return depths[0]
        return float(np.interp(level, profile[i - 1:i + 1], depths[i - 1:i + 1]))

    return crossing(0.9) - crossing(0.1)


def layer_mean(image, top, bottom, values=None):
    """Area-weighted geometric mean of the cells centred from TOP to BOTTOM deep in the line's middle
    half: of the image's resistivities, or of VALUES at its cells."""
    chosen = ((image.depth >= top) & (image.depth <= bottom) & (image.x >= 0.25 * LINE) & (image.x <= 0.75 * LINE))
    values = image.resistivity if values is None else values
    return math.exp(np.average(np.log(values[chosen]), weights=image.area[chosen]))


def their_blocky(path):
    """pyGIMLi's blocky inversion of the data file at PATH: its manager, model and time."""
    start = time.perf_counter()
    manager = ert.ERTManager(ert.load(path))
    model = np.array(manager.invert(lam=LAMBDA, blockyModel=True, verbose=False))
    return manager, model, time.perf_counter() - start


def their_at_cells(domain, model, image):
    """pyGIMLi's model at the image's cell centres."""
    return np.array([model[domain.findCell(pg.Pos(float(x), -float(z))).id()] for x, z in zip(image.x, image.depth)])


def correlation(a, b):
    """Pearson correlation of log10 resistivity over the middle half of the line down to 10 m (same cells)."""
    chosen = (a.x >= 0.25 * LINE) & (a.x <= 0.75 * LINE) & (a.depth <= 10.0)
    return float(np.corrcoef(np.log10(a.resistivity[chosen]), np.log10(b.resistivity[chosen]))[0, 1])


class SharpAndRobust(unittest.TestCase):

    def test_two_layers_sharp_and_robust(self):
        with program.scratch_folder() as folder:
            data = simulated_data(folder)
            rhoa = np.array(data["rhoa"])
            clean = os.path.join(folder, "clean.dat")
            write_data(clean, data, rhoa)
            rng = np.random.default_rng(SEED + 1)
            bad_rhoa = rhoa.copy()
            bad_rhoa[rng.choice(len(rhoa), int(round(BAD_SHARE * len(rhoa))), replace=False)] *= BAD_FACTOR
            bad = os.path.join(folder, "bad.dat")
            write_data(bad, data, bad_rhoa)
            smooth = invert_ours(clean, os.path.join(folder, "smooth.csv"))
            blocky = invert_ours(clean, os.path.join(folder, "blocky.csv"), "--blocky")
            smooth_bad = invert_ours(bad, os.path.join(folder, "smooth-bad.csv"))
            robust = invert_ours(bad, os.path.join(folder, "robust.csv"), "--robust")
            manager, their_model, their_seconds = their_blocky(clean)
            their_chi = manager.inv.chi2()
            domain = manager.paraDomain

        depths = np.arange(0.25, 14.0, 0.05)
        widths = {"smooth": step_width(depths, our_profile(smooth, depths)),
                  "blocky": step_width(depths, our_profile(blocky, depths)),
                  "pyGIMLi blocky": step_width(depths, their_profile(domain, their_model, depths))}
        upper, lower = layer_mean(blocky, 0.5, 4.5), layer_mean(blocky, 7.0, 10.0)
        theirs = their_at_cells(domain, their_model, blocky)
        their_layers = layer_mean(blocky, 0.5, 4.5, theirs), layer_mean(blocky, 7.0, 10.0, theirs)
        with_clean = {"robust": correlation(robust, smooth), "smooth": correlation(smooth_bad, smooth)}
        print("\n%d data; widths of the step (10-90 %%): %s m; layers: --blocky %.1f and %.0f ohm-m, pyGIMLi "
              "blocky %.1f and %.0f ohm-m" % (len(rhoa), ", ".join("%s %.2f" % item for item in widths.items()), upper,
                                              lower, *their_layers))
        print("chi-square: smooth %.3g, blocky %.3g, pyGIMLi blocky %.3g; times: smooth %.1f s, blocky %.1f s, "
              "pyGIMLi blocky %.1f s" % (smooth.chi_square, blocky.chi_square, their_chi, smooth.seconds,
                                         blocky.seconds, their_seconds))
        print("bad data: correlation with the clean smooth image: robust %.3f, smooth %.3f; chi-square robust %.3g, "
              "smooth %.3g; times: smooth %.1f s, robust %.1f s" % (
                  with_clean["robust"], with_clean["smooth"], robust.chi_square, smooth_bad.chi_square,
                  smooth_bad.seconds, robust.seconds))
        self.assertLessEqual(widths["blocky"], 0.6 * widths["smooth"])
        self.assertLessEqual(widths["blocky"], 1.2 * widths["pyGIMLi blocky"])
        self.assertLess(abs(upper / UPPER - 1.0), 0.15)
        # Within a quarter of pyGIMLi's blocky image, or nearer the true 500 ohm-m than it.
        self.assertTrue(abs(lower / their_layers[1] - 1.0) < 0.25 or
                        abs(math.log(lower / LOWER)) < abs(math.log(their_layers[1] / LOWER)))
        self.assertLess(abs(math.log(lower / LOWER)), abs(math.log(layer_mean(smooth, 7.0, 10.0) / LOWER)))
        self.assertLessEqual(blocky.chi_square, 1.5)
        self.assertGreaterEqual(with_clean["robust"], 0.95)
        self.assertGreater(with_clean["robust"], with_clean["smooth"])

    def test_three_blocks_sharp(self):
        """Two buried blocks in a host (BLOCKS): the resistive block's mean and a step at each of its edges."""
        with program.scratch_folder() as folder:
            data = simulated_blocks(folder)
            path = os.path.join(folder, "blocks.dat")
            write_data(path, data, np.array(data["rhoa"]))
            smooth = invert_ours(path, os.path.join(folder, "smooth.csv"))
            blocky = invert_ours(path, os.path.join(folder, "blocky.csv"), "--blocky")
            manager, their_model, their_seconds = their_blocky(path)
            theirs = their_at_cells(manager.paraDomain, their_model, blocky)
        means = {"smooth": block_mean(smooth), "blocky": block_mean(blocky), "pyGIMLi blocky": block_mean(blocky, theirs)}
        rises = {name: edge_rises(image, values) for name, image, values in
                 (("smooth", smooth, None), ("blocky", blocky, None), ("pyGIMLi blocky", blocky, theirs))}
        print("\nthree blocks: the %g ohm-m block's mean %s ohm-m; the share of each edge's step between the columns "
              "beside it (left, right): %s; chi-square blocky %.3g; times blocky %.1f s, pyGIMLi blocky %.1f s"
              % (BLOCKS[0][2], ", ".join("%s %.0f" % item for item in means.items()),
                 ", ".join("%s %.2f %.2f" % (name, *r) for name, r in rises.items()), blocky.chi_square,
                 blocky.seconds, their_seconds))
        self.assertLess(abs(means["blocky"] / BLOCKS[0][2] - 1.0), 0.15)
        self.assertGreaterEqual(min(rises["blocky"]), EDGE_SHARE)
        self.assertLessEqual(blocky.chi_square, 1.5)


# Three blocks: a host of HOST ohm-m holding two buried blocks (x1, x2, ohm-m), BLOCK_TOP to
# BLOCK_BOTTOM deep. Held: the first (resistive) block's area-weighted geometric mean, over its
# cells a metre inside its edges, within 15 % of its value; at each of its two side edges, at
# the middle of its depth, at least EDGE_SHARE of the step (in log10) between the host and the
# block lies between the two columns beside the edge (a step, not a ramp).
HOST, BLOCKS, BLOCK_TOP, BLOCK_BOTTOM = 50.0, ((30.0, 42.0, 400.0), (54.0, 66.0, 20.0)), 2.0, 7.0
EDGE_SHARE = 0.5


def simulated_blocks(folder):
    """pyGIMLi's noisy apparent resistivities of the two buried blocks, as its data container."""
    scheme_path = os.path.join(folder, "scheme.dat")
    single.dipole_dipole_scheme(scheme_path, ELECTRODES, SPACING, 0.0, DIPOLES, LEVELS)
    scheme = ert.load(scheme_path)
    world = mt.createWorld(start=[-60.0, 0.0], end=[LINE + 60.0, -60.0], worldMarker=False, marker=1)
    for marker, (x1, x2, _) in enumerate(BLOCKS, start=2):
        world += mt.createRectangle(start=[x1, -BLOCK_TOP], end=[x2, -BLOCK_BOTTOM], marker=marker)
    for p in scheme.sensorPositions():
        world.createNode(p)
        world.createNode(p + pg.Pos(0.0, -0.1))
    mesh = mt.createMesh(world, quality=34, area=2.0)
    resistivities = [[1, HOST]] + [[marker, rho] for marker, (_, _, rho) in enumerate(BLOCKS, start=2)]
    return ert.simulate(mesh, scheme=scheme, res=resistivities, noiseLevel=100 * NOISE, noiseAbs=0.0, seed=SEED,
                        verbose=False)


def block_mean(image, values=None):
    """Area-weighted geometric mean over the first block's cells a metre inside its edges."""
    x1, x2, _ = BLOCKS[0]
    chosen = ((image.x >= x1 + 1.0) & (image.x <= x2 - 1.0) & (image.depth >= BLOCK_TOP + 0.5) &
              (image.depth <= BLOCK_BOTTOM - 0.5))
    values = image.resistivity if values is None else values
    return math.exp(np.average(np.log(values[chosen]), weights=image.area[chosen]))


def edge_rises(image, values=None):
    """At each side edge of the first block, the share of the host-to-block step in log10 (from the
    host two spacings outside to the block's mean) between the columns on either side of the edge, at
    the block's middle depth."""
    values = image.resistivity if values is None else values
    depth = 0.5 * (BLOCK_TOP + BLOCK_BOTTOM)
    columns = sorted(image.columns.items())

    def at(x):
        for (x1, x2), cells in columns:
            if x1 <= x < x2:
                return float(np.interp(depth, image.depth[cells], np.log10(values[cells])))
        raise AssertionError("no column holds x = %g" % x)

    x1, x2, _ = BLOCKS[0]
    inside = math.log10(block_mean(image, values))
    shares = []
    for edge, outward in ((x1, -1.0), (x2, 1.0)):
        host = at(edge + outward * 2 * SPACING)
        shares.append((at(edge - outward * 0.5) - at(edge + outward * 0.5)) / (inside - host))
    return shares


if __name__ == "__main__":
    program.run_tests(__doc__, globals())
