"""The volume between a site's lines as other programs read it: the VTK
file FormatVolumeVtk writes, read by meshio (a VTK reader independent of
the program), against the CSV file of the same volume.

The site: three parallel lines over a slope, one bending, a tie line
crossing them at 45° (tests/section/site/SiteVolumeWriter.cpp writes it).

Checked: the points are the CSV's rows (x, y, elevation) to the last digit,
in the same order, with the CSV's resistivities and a weight between 0 and
1; the cells are hexahedra and vertices only, every point in one; every
hexahedron spans one step of the grid in x and y, its first face lies below
its second and turns counter-clockwise seen from above (VTK's order, so
that its volume is positive), and its volume is the step squared times its
height."""

import argparse
import os
import subprocess
import sys
import tempfile
import unittest

import meshio
import numpy as np

ARGUMENTS = None


def hexahedron_volumes(corners):
    """Volumes of hexahedra (cells, 8, 3) in VTK's order, by six tetrahedra
    around the diagonal 0-6: positive when the first face's normal (right
    hand rule) points to the second face."""
    tetrahedra = [(0, 1, 2, 6), (0, 2, 3, 6), (0, 3, 7, 6), (0, 7, 4, 6), (0, 4, 5, 6), (0, 5, 1, 6)]
    total = np.zeros(len(corners))
    for a, b, c, d in tetrahedra:
        u = corners[:, b] - corners[:, a]
        v = corners[:, c] - corners[:, a]
        w = corners[:, d] - corners[:, a]
        total += np.einsum("ij,ij->i", np.cross(u, v), w) / 6.0
    return total


class SiteVolumeVtk(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        subprocess.run([ARGUMENTS.writer, cls.folder.name], check=True)
        cls.mesh = meshio.read(os.path.join(cls.folder.name, "volume.vtk"))
        with open(os.path.join(cls.folder.name, "volume.csv"), encoding="utf-8") as file:
            cls.header = file.readline().strip().split(",")
            cls.csv = np.array([[float(v) for v in line.split(",")] for line in file if line.strip()])
        with open(os.path.join(cls.folder.name, "grid.txt"), encoding="utf-8") as file:
            cls.step = float(file.read().split()[2])

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_points_are_the_csv_rows(self):
        self.assertEqual(self.header, ["x", "y", "z", "depth", "resistivity"])
        self.assertGreater(len(self.csv), 1000)
        np.testing.assert_array_equal(self.mesh.points, self.csv[:, :3])
        np.testing.assert_array_equal(self.mesh.point_data["resistivity"].ravel(), self.csv[:, 4])
        weight = self.mesh.point_data["weight"].ravel()
        self.assertTrue(np.all((weight >= 0.0) & (weight <= 1.0)))
        self.assertTrue(np.all(np.isfinite(self.mesh.points)))
        # The block under the first line: the least resistivity there.
        least = self.csv[np.argmin(self.csv[:, 4])]
        self.assertLess(least[4], 10.0)
        self.assertTrue(10.0 <= least[0] <= 18.0 and abs(least[1]) <= 2.0 and 1.5 <= least[3] <= 5.0, least)

    def test_cells_are_the_grid_steps(self):
        types = [block.type for block in self.mesh.cells]
        self.assertTrue(set(types) <= {"hexahedron", "vertex"}, types)
        used = np.zeros(len(self.mesh.points), dtype=bool)
        for block in self.mesh.cells:
            used[block.data.ravel()] = True
        self.assertTrue(np.all(used))
        hexahedra = np.concatenate([b.data for b in self.mesh.cells if b.type == "hexahedron"])
        self.assertGreater(len(hexahedra), len(self.mesh.points) // 2)
        corners = self.mesh.points[hexahedra]
        depth = self.csv[:, 3][hexahedra]
        # The first face one depth step below the second, corner by corner.
        np.testing.assert_allclose(corners[:, :4, :2], corners[:, 4:, :2], rtol=0, atol=1e-9)
        self.assertTrue(np.all(depth[:, :4] > depth[:, 4:]))
        # Counter-clockwise seen from above: east, then north, then west.
        dx = np.array([0, 1, 1, 0]) * self.step
        dy = np.array([0, 0, 1, 1]) * self.step
        np.testing.assert_allclose(corners[:, :4, 0] - corners[:, :1, 0], np.broadcast_to(dx, (len(corners), 4)), atol=1e-9)
        np.testing.assert_allclose(corners[:, :4, 1] - corners[:, :1, 1], np.broadcast_to(dy, (len(corners), 4)), atol=1e-9)
        # The ground's relief shears the cells but keeps their volume: the
        # step squared times the mean height of the four vertical edges.
        heights = np.mean(corners[:, 4:, 2] - corners[:, :4, 2], axis=1)
        volumes = hexahedron_volumes(corners)
        self.assertTrue(np.all(volumes > 0.0))
        np.testing.assert_allclose(volumes, self.step ** 2 * heights, rtol=1e-6)


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--writer", required=True)
    ARGUMENTS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
