"""The inverted image as other programs read it: the program's --invert
OUT.vtk read by meshio (a VTK reader independent of the program), and
OUT.xyz read as plain numbers, both against the cell table (--invert
OUT.csv) of the same inversion.

The ground: relief-outcrop.sec (a relief, a polarizable region), so the
cells are sheared columns and trapezoids over the flat bottom and the image
has chargeabilities; --doi adds the depth of investigation.

Checked: the grid holds one quadrilateral per row of the table, over the
row's x range, whose area (shoelace over the points meshio read) is the
table's width times its depth range (a cell with vertical sides and straight
top and bottom has the mean height at its middle); its cell data are the
table's columns to the last digit. Every point of the xyz grid lies in a
cell of the VTK grid and carries that cell's resistivity; the steps are
half the narrowest cell's width and half the thinnest cell's mean height;
every cell holds a point."""

import os
import tempfile
import unittest

import meshio
import numpy as np

import program

ARGUMENTS = None
INVERT = ["--iterations", "2", "--doi"]


def table(path):
    """The cell table's columns by name (nan where empty)."""
    with open(path, encoding="utf-8") as file:
        header = file.readline().strip().split(",")
        rows = [[float(v) if v else np.nan for v in line.strip().split(",")] for line in file if line.strip()]
    values = np.array(rows)
    return {name: values[:, i] for i, name in enumerate(header)}


def shoelace(corners):
    """Signed areas of polygons, corners (cells, k, 2), counter-clockwise positive."""
    x, y = corners[:, :, 0], corners[:, :, 1]
    return 0.5 * np.sum(x * np.roll(y, -1, axis=1) - np.roll(x, -1, axis=1) * y, axis=1)


def inside(corners, points, tolerance):
    """Whether each point lies in the convex counter-clockwise polygon (on its
    border within TOLERANCE included)."""
    result = np.ones(len(points), dtype=bool)
    for k in range(len(corners)):
        a, b = corners[k], corners[(k + 1) % len(corners)]
        cross = (b[0] - a[0]) * (points[:, 1] - a[1]) - (b[1] - a[1]) * (points[:, 0] - a[0])
        result &= cross >= -tolerance * np.hypot(b[0] - a[0], b[1] - a[1])
    return result


class InversionExport(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        data = os.path.join(cls.folder.name, "relief.dat")
        program.run(ARGUMENTS.program, "--forward", data, os.path.join(ARGUMENTS.data, "relief-outcrop.sec"),
                    "--electrodes", "16", "--levels", "4")
        cls.files = {}
        for extension in ("csv", "vtk", "xyz"):
            cls.files[extension] = os.path.join(cls.folder.name, "image." + extension)
            program.run(ARGUMENTS.program, "--invert", cls.files[extension], data, *INVERT)
        cls.table = table(cls.files["csv"])

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def read_vtk(self):
        mesh = meshio.read(self.files["vtk"])
        self.assertEqual([block.type for block in mesh.cells], ["quad"])
        corners = mesh.points[mesh.cells[0].data][:, :, :2]
        self.assertTrue(np.all(mesh.points[:, 2] == 0.0))
        return mesh, corners

    def test_vtk_cells_are_the_tables_cells(self):
        mesh, corners = self.read_vtk()
        t = self.table
        self.assertEqual(len(corners), len(t["resistivity"]))
        # Over relief: the cells are not rectangles (some edge neither level nor vertical).
        edges = np.roll(corners, -1, axis=1) - corners
        self.assertTrue(np.any((np.abs(edges[:, :, 0]) > 0) & (np.abs(edges[:, :, 1]) > 0)))
        np.testing.assert_array_equal(corners[:, :, 0].min(axis=1), t["x1"])
        np.testing.assert_array_equal(corners[:, :, 0].max(axis=1), t["x2"])
        areas = shoelace(corners)
        self.assertTrue(np.all(areas > 0.0))
        np.testing.assert_allclose(areas, (t["x2"] - t["x1"]) * (t["z2"] - t["z1"]), rtol=1e-9)
        # A shared corner is one point: a connected grid.
        self.assertLess(len(mesh.points), 4 * len(corners))
        for name in ("resistivity", "chargeability", "coverage", "doi"):
            self.assertIn(name, mesh.cell_data)
            np.testing.assert_array_equal(np.ravel(mesh.cell_data[name][0]), t[name], err_msg=name)
        self.assertTrue(np.any(t["chargeability"] > 0.0))

    def test_xyz_points_carry_their_cells_resistivity(self):
        _, corners = self.read_vtk()
        t = self.table
        with open(self.files["xyz"], encoding="utf-8") as file:
            header = file.readline()
        self.assertTrue(header.startswith("# x elevation resistivity"), header)
        points = np.loadtxt(self.files["xyz"], comments="#", ndmin=2)
        self.assertEqual(points.shape[1], 3)
        scale = np.ptp(corners[:, :, 0])
        found = np.zeros(len(points), dtype=bool)
        sampled = 0
        for cell, quad in enumerate(corners):
            mine = inside(quad, points[:, :2], 1e-9 * scale)
            sampled += bool(np.any(mine))
            right = mine & (points[:, 2] == t["resistivity"][cell])
            found |= right
        self.assertTrue(np.all(found), "points in no cell or with another cell's value: %s" % points[~found][:5])
        self.assertEqual(sampled, len(corners))
        # The steps: half the narrowest cell's width, half the thinnest cell's mean height.
        widths = np.ptp(corners[:, :, 0], axis=1)
        heights = shoelace(corners) / widths
        xs, ys = np.unique(points[:, 0]), np.unique(points[:, 1])
        np.testing.assert_allclose(np.min(np.diff(xs)), widths.min() / 2, rtol=1e-9)
        np.testing.assert_allclose(np.min(np.diff(ys)), heights.min() / 2, rtol=1e-9)


if __name__ == "__main__":
    program.run_tests(__doc__, globals())
