"""The inversion of cross-hole data side by side with pyGIMLi's ERTManager
on the same noisy data.

The ground (tests/data/section/inversion/crosshole-block.sec): a 20 ohm-m
block, x 48 to 52 m and 4 m to 8 m deep, in 100 ohm-m under flat ground.
Two holes at x 44 and 56 m, 12 electrodes each from 1 m to 12 m deep
(1 m apart), the generated cross-hole survey (--array crosshole: 809
data), the program's forward response with 3 % seeded Gaussian noise
(err 0.03). The program inverts it with --invert ... --section (the
ground's surface from the drawn section, the electrodes buried below it;
its default λ). pyGIMLi inverts it with ERTManager.invert(lam=20) on a
mesh made for it: createParaMeshPLC over x 38 to 62 m down to 16 m (no
sensors on the surface; cells of at most PYGIMLI_CELL_AREA m²), the
electrodes added as nodes inside it, the world beyond it its background.

Measured on both images, by cell centres:
  - the block: the geometric mean of the cells in it;
  - the background: the cells between the holes (x 44 to 56 m, down to
    the holes' depth, 12 m) more than one spacing (1 m) from the block,
    their least and largest resistivity;
  - the correlation of log10 resistivity with the truth over the cells
    between the holes.
The program's targets: chi-square at most 1.5, the background within a
factor 1.35 of 100 ohm-m, the correlation at least 0.6, and the block's
mean at most BLOCK_MEAN. pyGIMLi's numbers are printed beside, not held.

The block's mean is not held to 60 ohm-m: the data at their 3 % error do not
decide it that far. Inverted noise-free with err 0.03 the block comes out at
85 ohm-m, with err 0.01 at 76; with noise (seeds 1, 2, 3, 11) 71 to 75 at
chi-square 1 (the background's least cell 72 to 77 ohm-m: seed 2's lies just
beyond the factor 1.35). The image is the same on cells of 1, 0.5 and 0.25 m
(73, 75, 75 ohm-m), from any first lambda or start, and for a z-weight of
0.2 to 5. pyGIMLi reaches 66 ohm-m at lam 20 by fitting the noise a little
further (chi-square 0.94), its background then falling to 71 ohm-m, below
the factor 1.35 (on cells of 0.25 m²: 65 and 69 ohm-m; at lam 5, 58 and 67
ohm-m). Held at λ 5 until it converges (chi-square 0.91) the program's block
is 64 ohm-m; an L1-like reweighted roughness gives 64 to 68 ohm-m with the
background at 68 to 72 ohm-m. BLOCK_MEAN guards what the data do decide: a
block found well below its host and apart from the background."""

import math
import os
import time
import unittest

import numpy as np
import pygimli as pg
import pygimli.meshtools as mt
from pygimli.physics import ert

import Inversion_test as single
import program

ARGUMENTS = None
SECTION = "crosshole-block.sec"
HOLES = (44.0, 56.0)
HOLE_ELECTRODES, HOLE_SPACING = 12, 1.0
SURVEY = ["--array", "crosshole", "--holes", "%g,%g" % HOLES, "--hole-electrodes", str(HOLE_ELECTRODES),
          "--hole-spacing", "%g" % HOLE_SPACING]
BLOCK = (48.0, 52.0, 4.0, 8.0)  # x from, to; depth from, to
HOST, BLOCK_RHO = 100.0, 20.0
NOISE, SEED = 0.03, 11
LAMBDA = 20.0
PYGIMLI_PARA = (38.0, 62.0, 16.0)  # x from, to; depth
PYGIMLI_CELL_AREA = 0.5            # m²
CHI_SQUARE = 1.5
BLOCK_MEAN = 80.0                  # ohm-m, geometric
BACKGROUND_FACTOR = 1.35
CORRELATION = 0.6


def in_block(x, depth, margin=0.0):
    left, right, top, bottom = BLOCK
    return (left - margin < x) & (x < right + margin) & (top - margin < depth) & (depth < bottom + margin)


class Numbers:
    """What both images are measured by: the block's geometric mean, the
    background's range, the log10 correlation with the truth between the holes."""

    def __init__(self, x, depth, resistivity, chi_square, seconds, cells):
        x, depth, resistivity = np.asarray(x), np.asarray(depth), np.asarray(resistivity)
        deepest = HOLE_ELECTRODES * HOLE_SPACING
        between = (HOLES[0] < x) & (x < HOLES[1]) & (depth < deepest)
        block = between & in_block(x, depth)
        background = between & ~in_block(x, depth, HOLE_SPACING)
        truth = np.where(block, BLOCK_RHO, HOST)
        self.block_cells, self.background_cells = int(block.sum()), int(background.sum())
        self.block = float(10 ** np.mean(np.log10(resistivity[block])))
        self.background = (float(resistivity[background].min()), float(resistivity[background].max()))
        self.correlation = float(np.corrcoef(np.log10(resistivity[between]), np.log10(truth[between]))[0, 1])
        self.chi_square, self.seconds, self.cells = chi_square, seconds, cells

    def line(self, name):
        return ("%-8s chi-square %.3f, block %.1f ohm-m (%d cells), background %.1f to %.1f ohm-m, correlation %.3f, "
                "%d cells, %.1f s" % (name, self.chi_square, self.block, self.block_cells, *self.background,
                                      self.correlation, self.cells, self.seconds))


def write_data(folder, lithoprism, section):
    """The cross-hole survey's response over SECTION with the seeded noise; the file's path and data count."""
    clean = program.forward(lithoprism, os.path.join(folder, "clean.dat"), section, *SURVEY)
    measured = os.path.join(folder, "crosshole.dat")
    program.write_noisy_data(measured, clean, SEED, NOISE)
    return measured, len(clean)


def invert_ours(measured, section, folder):
    single.ARGUMENTS = ARGUMENTS
    ours = single.invert_ours(measured, os.path.join(folder, "ours.csv"), options=["--section", section])
    image = ours.image
    return Numbers(image.x, image.depth, image.resistivity, ours.chi_square, ours.seconds, ours.cells)


def pygimli_data(measured):
    """The data file as pyGIMLi's container, the electrodes in the plane: it
    reads the unified file's z as the third coordinate."""
    data = ert.load(measured)
    for i, position in enumerate(data.sensors()):
        data.setSensorPosition(i, [position[0], position[2], 0.0])
    return data


def pygimli_mesh(data):
    """The parameter region over PYGIMLI_PARA (marker 2) in its background
    world (marker 1), the electrodes as nodes inside it."""
    left, right, depth = PYGIMLI_PARA
    plc = mt.createParaMeshPLC([left, right], paraDepth=depth, paraBoundary=0, paraMaxCellSize=PYGIMLI_CELL_AREA)
    for position in data.sensors():
        plc.createNode(position, pg.core.MARKER_NODE_SENSOR)
    return mt.createMesh(plc, quality=33.6)


def invert_pygimli(measured):
    data = pygimli_data(measured)
    start = time.perf_counter()
    manager = ert.ERTManager(data)
    manager.invert(mesh=pygimli_mesh(data), lam=LAMBDA, verbose=False)
    seconds = time.perf_counter() - start
    domain = manager.paraDomain
    centres = np.array([cell.center() for cell in domain.cells()])
    return Numbers(centres[:, 0], -centres[:, 1], np.array(manager.model), manager.inv.chi2(), seconds,
                   domain.cellCount())


class SideBySide(unittest.TestCase):

    def test_crosshole_block(self):
        section = os.path.join(ARGUMENTS.data, SECTION)
        with program.scratch_folder() as folder:
            measured, count = write_data(folder, ARGUMENTS.program, section)
            ours = invert_ours(measured, section, folder)
            theirs = invert_pygimli(measured)
        print("\ncross-hole block: %d data, %g %% noise; pyGIMLi lam %g, cells of at most %g m²"
              % (count, 100 * NOISE, LAMBDA, PYGIMLI_CELL_AREA))
        print(ours.line("program"))
        print(theirs.line("pyGIMLi"))
        failures = []
        low, high = HOST / BACKGROUND_FACTOR, HOST * BACKGROUND_FACTOR
        if not ours.chi_square <= CHI_SQUARE:
            failures.append("chi-square %.3f above %g" % (ours.chi_square, CHI_SQUARE))
        if not ours.block <= BLOCK_MEAN:
            failures.append("the block's mean %.1f ohm-m above %g" % (ours.block, BLOCK_MEAN))
        if not (low <= ours.background[0] and ours.background[1] <= high):
            failures.append("the background %.1f to %.1f ohm-m beyond %.1f to %.1f" % (*ours.background, low, high))
        if not ours.correlation >= CORRELATION:
            failures.append("correlation %.3f below %g" % (ours.correlation, CORRELATION))
        self.assertFalse(failures, "; ".join(failures))
        self.assertTrue(math.isfinite(theirs.block), "pyGIMLi's image has no cell in the block")


if __name__ == "__main__":
    program.run_tests(__doc__, globals())
