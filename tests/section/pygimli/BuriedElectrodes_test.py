"""Buried electrodes side by side with pyGIMLi's ert.simulate on a fine mesh
with the electrodes as its nodes (the program's model export rebuilt as a
pyGIMLi mesh, the same resistivities, no noise): the resistance of every
datum, the median within 1.5 % of pyGIMLi's. Two grounds: a 20 ohm-m block
between two holes 12 m apart in 100 ohm-m (12 electrodes each, 1 to 12 m
deep, the generated cross-hole survey), and a line on the bottom of 3 m of
15 ohm-m water over 100 ohm-m over 300 ohm-m from 13 m (dipole-dipole,
24 electrodes 2 m apart, n = 1 .. 6). Guards the placing and meshing of
electrodes inside the ground and on a boundary between regions."""

import os
import unittest

import numpy as np
import pygimli as pg
from pygimli.physics import ert

import ground_mesh
import program

ARGUMENTS = None
CELL_AREA = 0.5  # m² in the model area (100 m wide sections)
MEDIAN_TOLERANCE = 0.015


def pygimli_scheme(data):
    """The program's electrodes (x, elevation) and configurations as pyGIMLi's data container."""
    scheme = pg.DataContainerERT()
    for x, z in data.electrodes:
        scheme.createSensor([x, z])
    scheme.resize(len(data))
    for name in ("a", "b", "m", "n"):
        scheme[name] = np.array(data.columns[name]) - 1
    scheme["valid"] = np.ones(len(data))
    return scheme


class SideBySide(unittest.TestCase):

    def compare(self, name, *options):
        section_file = os.path.join(ARGUMENTS.data, name)
        with program.scratch_folder() as folder:
            ours = program.forward(ARGUMENTS.program, os.path.join(folder, "out.dat"), section_file, *options)
            model = program.export_model(ARGUMENTS.program, section_file, folder)
        ground = ground_mesh.ground_mesh(model, ours.electrodes, None, CELL_AREA, buried=True)
        data = ert.simulate(ground.mesh, scheme=pygimli_scheme(ours), res=ground.cell_values(), calcOnly=True,
                            sr=False, verbose=False)
        theirs = np.array(data["u"])
        resistances = np.array(ours.columns["rhoa"]) / np.array(ours.columns["k"])
        differences = np.abs(theirs / resistances - 1.0)
        at = int(np.argmax(differences))
        median = float(np.median(differences))
        print("\n%s: %d data; pyGIMLi mesh %d nodes (P2); resistance: median %.3f %%, 95th %.3f %%, worst %.3f %% "
              "(a b m n %s)" % (name, len(ours), ground.mesh.nodeCount(), 100 * median,
                                100 * float(np.percentile(differences, 95)), 100 * differences[at],
                                " ".join(str(ours.columns[c][at]) for c in ("a", "b", "m", "n"))))
        self.assertLess(median, MEDIAN_TOLERANCE, name)

    def test_crosshole_block(self):
        self.compare("crosshole-block.sec", "--array", "crosshole", "--holes", "44,56", "--hole-electrodes", "12",
                     "--hole-spacing", "1")

    def test_lake_bottom(self):
        with program.scratch_folder() as folder:
            scheme = os.path.join(folder, "lake.dat")
            electrodes = [(26.0 + 2.0 * i, -3.0) for i in range(24)]
            configurations = [(i, i + 1, i + n + 1, i + n + 2) for n in range(1, 7) for i in range(1, 25)
                              if i + n + 2 <= 24]
            program.write_scheme(scheme, electrodes, configurations)
            self.compare("lake-bottom.sec", "--scheme", scheme)


if __name__ == "__main__":
    program.run_tests(__doc__, globals())
