"""Several lines of one site (--invert-lines) on the synthetic site of
tests/data/site (its README.md holds the truth; make_site.py made the data
with pyGIMLi's 3-D forward computation): five lines running east 8 m apart,
the northern one bent halfway, and a tie line running north across them all,
32 electrodes 2 m apart each, over relief, a conductive block under lines 2
and 3 and a resistive layer dipping across the site.

Checked, each against an answer found here independently of the program:
  - each line's image (its NAME.csv) against pyGIMLi's ERTManager.invert
    (lam 20, the same errors) of the line given as its distance along the
    track and its electrodes' elevations: the correlation of log10
    resistivity at least 0.85 and the median |difference of log10| at most
    0.1, at the program's cell centres in the well-covered part
    (Inversion_test.Coverage);
  - every fence cell on its line's track: its map x, y within 0.5 m of the
    track's point at its distance, its z the ground's elevation there less
    its depth (within 0.5 m), below the ground; the fence holding each
    line's cells as its NAME.csv does;
  - the five crossings of the tie line with the parallel lines reported
    where they are (within 0.5 m), and along each shared vertical the two
    images' columns alike (median |difference of log10| at most 0.1,
    correlation at least 0.8, depths of the well-covered part);
  - the block's centre in the volume (volume.csv and the VTK grid read by
    meshio) within 8 m horizontally and 30 % in depth of the truth: the
    centroid of the conductive anomaly, the points below 0.6 times the host
    weighted by log10(host / resistivity), of the points the data see
    (within half a line spacing of a track, in that line's well-covered
    part);
  - the slices at their depths below the ground and within the volume's
    area;
  - five bad inputs refused, exit 1, one line naming the file, nothing
    written: a line of one electrode, two lines of one name, a line without
    map coordinates, a line in feet among lines in metres, a line
    kilometres away;
  - the whole run at most 1.5 times the sum of the lines' separate --invert
    runs plus 5 s.
Each measure is printed; every check is reported before the test fails.
Without --invert-lines in the program the test is skipped."""

import csv
import glob
import importlib
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import meshio
import numpy as np

import program

ARGUMENTS = None
LAMBDA = 20.0
CORRELATION = 0.85          # each line against pyGIMLi's image
MEDIAN_LOG = 0.1            # median |difference of log10 resistivity|
TRACK_MARGIN = 0.5          # m, a fence cell off its track or its ground
TIE_CORRELATION = 0.8       # the two columns at a crossing
BLOCK_HORIZONTAL = 8.0      # m
BLOCK_DEPTH_SHARE = 0.3
TIME_FACTOR, TIME_MARGIN = 1.5, 5.0
SLICES = ("2", "5.5")
ANOMALY = 0.6               # of the host: the conductive anomaly's points
LINES = ("line1", "line2", "line3", "line4", "line5", "tie")


class SiteLine:
    """A line's file read here: electrodes on the map (x, y, elevation),
    their distances along the track, the quadrupoles (from 1), r and err."""

    def __init__(self, path):
        with open(path, encoding="utf-8") as file:
            lines = [line.strip() for line in file if line.strip() and not line.startswith("# Synthetic")]
        count = int(lines[0])
        assert lines[1].split()[1:] == ["x", "y", "z"], lines[1]
        self.map = np.array([[float(v) for v in line.split()] for line in lines[2:2 + count]])
        data = int(lines[2 + count])
        assert lines[3 + count].split()[1:] == ["a", "b", "m", "n", "r", "err"], lines[3 + count]
        rows = np.array([[float(v) for v in line.split()] for line in lines[4 + count:4 + count + data]])
        self.quadrupoles = rows[:, :4].astype(int)
        self.r, self.err = rows[:, 4], rows[:, 5]
        # The distance along the track as the program takes it (MapLine.h):
        # along x or y that coordinate itself, else from 0 at the first
        # electrode (this site's one bent line starts at x 0 anyway).
        steps = np.hypot(*np.diff(self.map[:, :2], axis=0).T)
        along = [axis for axis in (1, 0) if np.all(self.map[:, axis] == self.map[0, axis])]
        start = self.map[0, 1 - along[0]] if along else 0.0
        self.distance = start + np.concatenate([[0.0], np.cumsum(steps)])

    def point_at(self, distance):
        """Map x, y of distances along the track, the first and last legs
        carried on straight beyond its ends."""
        d = np.atleast_1d(np.asarray(distance, dtype=float))
        leg = np.clip(np.searchsorted(self.distance, d) - 1, 0, len(self.distance) - 2)
        share = (d - self.distance[leg]) / (self.distance[leg + 1] - self.distance[leg])
        start, end = self.map[leg, :2], self.map[leg + 1, :2]
        return start + share[:, None] * (end - start)

    def ground_at(self, distance):
        """The ground's elevation along the track: the electrodes' joined by
        straight lines, level beyond the ends."""
        return np.interp(distance, self.distance, self.map[:, 2])

    def nearest(self, points):
        """For map points (n, 2): how far each stands from the track (its
        legs from electrode to electrode) and the distance along the track
        of the track's point nearest to it."""
        points = np.atleast_2d(points)[:, None, :]
        a, b = self.map[None, :-1, :2], self.map[None, 1:, :2]
        t = np.clip(np.sum((points - a) * (b - a), axis=2) / np.sum((b - a) ** 2, axis=2), 0.0, 1.0)
        off = np.hypot(*np.moveaxis(a + t[:, :, None] * (b - a) - points, 2, 0))
        leg = np.argmin(off, axis=1)
        rows = np.arange(len(leg))
        distance = self.distance[leg] + t[rows, leg] * (self.distance[leg + 1] - self.distance[leg])
        return off[rows, leg], distance


    def coverage(self):
        from Inversion_test import Coverage
        scheme = program.UnifiedData()
        scheme.electrodes = list(zip(self.distance, self.map[:, 2]))
        scheme.columns = {name: list(self.quadrupoles[:, i]) for i, name in enumerate("abmn")}
        return Coverage(scheme)


class CellTable:
    """A NAME.csv: cell centres (distance, depth), their x and depth ranges, resistivities."""

    def __init__(self, path):
        table = read_csv(path)
        self.x1, self.x2, self.z1, self.z2 = (table[c] for c in ("x1", "x2", "z1", "z2"))
        self.x, self.depth = 0.5 * (self.x1 + self.x2), 0.5 * (self.z1 + self.z2)
        self.resistivity = table["resistivity"]

    def at(self, distance, depth):
        """The resistivity of the cell holding (distance, depth); nan outside the mesh."""
        inside = (self.x1 <= distance) & (distance <= self.x2) & (self.z1 <= depth) & (depth <= self.z2)
        return float(self.resistivity[np.argmax(inside)]) if inside.any() else math.nan


def read_csv(path):
    """A CSV file's columns by name, as numbers where they are (nan where empty)."""
    with open(path, encoding="utf-8", newline="") as file:
        rows = list(csv.DictReader(file))
    columns = {}
    for name in rows[0]:
        values = [row[name] for row in rows]
        try:
            columns[name] = np.array([float(v) if v else math.nan for v in values])
        except ValueError:
            columns[name] = np.array(values)
    return columns


def likeness(ours, theirs):
    """Correlation and median |difference| of log10 resistivities (finite pairs)."""
    ours, theirs = np.asarray(ours, dtype=float), np.asarray(theirs, dtype=float)
    usable = np.isfinite(ours) & np.isfinite(theirs) & (ours > 0) & (theirs > 0)
    a, b = np.log10(ours[usable]), np.log10(theirs[usable])
    return float(np.corrcoef(a, b)[0, 1]), float(np.median(np.abs(a - b))), int(usable.sum())


def anomaly_centre(x, y, depth, resistivity, host, seen):
    """The conductive anomaly's centroid: of the points the data SEE, those
    below ANOMALY times the HOST, weighted by log10(host / resistivity)."""
    usable = seen & np.isfinite(resistivity) & (resistivity > 0)
    weight = np.where(usable, np.log10(host / np.where(usable, resistivity, host)), 0.0)
    weight[~usable | (resistivity > ANOMALY * host)] = 0.0
    if weight.sum() <= 0:
        return None
    return tuple(float(np.sum(weight * v) / weight.sum()) for v in (x, y, depth))


def pygimli_image(line):
    """pyGIMLi's inversion of a line: its distances and elevations, the same
    resistances and errors, lam 20; its model at points (distance, elevation)."""
    import pygimli as pg
    from pygimli.physics import ert
    data = pg.DataContainerERT()
    for d, z in zip(line.distance, line.map[:, 2]):
        data.createSensor(pg.Pos(float(d), float(z)))
    data.resize(len(line.r))
    for i, token in enumerate("abmn"):
        data.set(token, line.quadrupoles[:, i] - 1)
    data.set("r", line.r)
    data.set("err", line.err)
    data.set("k", ert.createGeometricFactors(data, numerical=True))
    data.set("rhoa", line.r * np.array(data["k"]))
    data.markValid(np.ones(len(line.r), dtype=bool))
    manager = ert.ERTManager(data)
    manager.invert(lam=LAMBDA, verbose=False)
    domain, model = manager.paraDomain, np.array(manager.model)

    def at(distance, elevation):
        found = []
        for d, z in zip(distance, elevation):
            cell = domain.findCell(pg.Pos(float(d), float(z)))
            found.append(model[cell.id()] if cell is not None else math.nan)
        return np.array(found)
    return at, manager.inv.chi2()


def run_timed(*arguments):
    start = time.perf_counter()
    done = subprocess.run([ARGUMENTS.program, *arguments], capture_output=True, text=True)
    return done, time.perf_counter() - start


class SiteLines(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        probe = subprocess.run([ARGUMENTS.program, "--invert-lines"], capture_output=True, text=True)
        if "unknown option --invert-lines" in probe.stderr:
            raise unittest.SkipTest("the program has no --invert-lines")
        cls.folder = tempfile.TemporaryDirectory(prefix="lithoprism-site-")
        cls.addClassCleanup(cls.folder.cleanup)
        cls.files = [os.path.join(ARGUMENTS.data, name + ".dat") for name in LINES]
        cls.lines = {name: SiteLine(path) for name, path in zip(LINES, cls.files)}
        # The truth: the script that made the data (README.md says it in words).
        sys.path.insert(0, ARGUMENTS.data)
        cls.truth = importlib.import_module("make_site")
        t = cls.truth
        cls.block_centre = (np.mean(t.BLOCK_X), np.mean(t.BLOCK_Y), np.mean(t.BLOCK_DEPTH))
        # The tie line (along x = const) crosses each parallel line (along y = const at its start).
        tracks = t.lines()
        cls.crossings = {(name, "tie"): (float(tracks["tie"][0, 0]), float(tracks[name][0, 1]))
                         for name in LINES[:-1]}
        cls.out = os.path.join(cls.folder.name, "site")
        cls.vtk = os.path.join(cls.folder.name, "site.vtk")
        cls.done, cls.seconds = run_timed("--invert-lines", cls.out, *cls.files, "--slice-depths", ",".join(SLICES),
                                          "--vtk", cls.vtk)
        if cls.done.returncode != 0:
            raise AssertionError("--invert-lines exited with %d: %s" % (cls.done.returncode, cls.done.stderr))
        print(cls.done.stdout.strip())
        cls.images = {name: CellTable(os.path.join(cls.out, name + ".csv")) for name in LINES}

    def test_each_line_is_like_pygimlis_inversion_of_it(self):
        failures = []
        for name, line in self.lines.items():
            image = self.images[name]
            coverage = line.coverage()
            covered = np.array([coverage.covers(x, d) for x, d in zip(image.x, image.depth)])
            theirs, chi_square = pygimli_image(line)
            elevation = line.ground_at(image.x[covered]) - image.depth[covered]
            correlation, median, count = likeness(image.resistivity[covered], theirs(image.x[covered], elevation))
            print("%s: correlation with pyGIMLi's image %.3f, median |dlog10| %.3f over %d cells (pyGIMLi's "
                  "chi-square %.2f)" % (name, correlation, median, count, chi_square))
            if correlation < CORRELATION or median > MEDIAN_LOG:
                failures.append("%s: correlation %.3f, median |dlog10| %.3f" % (name, correlation, median))
        self.assertEqual(failures, [])

    def test_stdout_reports_every_line(self):
        reported = [line for line in self.done.stdout.splitlines() if line.startswith("line ")]
        self.assertEqual([line.split()[1].rstrip(":") for line in reported], list(LINES))
        for text, (name, line) in zip(reported, self.lines.items()):
            # line NAME: N data, chi-square X, rrms Y %
            self.assertEqual(int(text.split()[2]), len(line.r), text)
            chi_square = float(text.split("chi-square")[1].split(",")[0])
            self.assertTrue(0.3 < chi_square < 3.0, text)

    def test_fence_cells_stand_on_their_tracks_under_the_ground(self):
        fence = read_csv(os.path.join(self.out, "fence.csv"))
        failures = []
        for name, line in self.lines.items():
            mine = fence["line"] == name
            image = self.images[name]
            # The fence holds the line's cells as its table does.
            self.assertEqual(int(mine.sum()), len(image.x), name)
            order = np.lexsort((fence["depth"][mine], fence["distance"][mine]))
            table = np.lexsort((image.depth, image.x))
            np.testing.assert_allclose(fence["distance"][mine][order], image.x[table], atol=1e-6, err_msg=name)
            np.testing.assert_allclose(fence["depth"][mine][order], image.depth[table], atol=1e-6, err_msg=name)
            np.testing.assert_allclose(fence["resistivity"][mine][order], image.resistivity[table], rtol=1e-6,
                                       err_msg=name)
            distance = fence["distance"][mine]
            places = np.column_stack([fence["x"][mine], fence["y"][mine]])
            off = line.nearest(places)[0]
            # Along the track each cell stands at the point of its distance;
            # beyond its ends (the mesh's margins) it stays near the track.
            on = (distance >= line.distance[0]) & (distance <= line.distance[-1])
            misplaced = np.hypot(*(places[on] - line.point_at(distance[on])).T)
            ground = line.ground_at(distance)
            below = ground - fence["depth"][mine] - fence["z"][mine]
            print("%s: %d fence cells, largest offset from the track %.3f m, from the point of its distance %.3f m "
                  "(%d cells beyond the ends, %d of them at an end's point), from the ground less the depth %.3f m"
                  % (name, mine.sum(), off.max(), misplaced.max(), np.sum(~on),
                     np.sum(np.hypot(*(places[~on] - line.point_at(distance[~on])).T) > TRACK_MARGIN),
                     np.abs(below).max()))
            if off.max() > TRACK_MARGIN or misplaced.max() > TRACK_MARGIN:
                failures.append("%s: a cell %.2f m off its track, %.2f m off its distance's point"
                                % (name, off.max(), misplaced.max()))
            if np.abs(below).max() > TRACK_MARGIN or np.any(fence["z"][mine] >= ground):
                failures.append("%s: a cell %.2f m off the ground less its depth" % (name, np.abs(below).max()))
        self.assertEqual(set(fence["line"]), set(LINES))
        self.assertEqual(failures, [])

    def test_crossings_are_reported_and_tied(self):
        reported = {}
        for text in self.done.stdout.splitlines():
            if text.startswith("crossing "):
                _, a, b, at, x, y = text.split()
                self.assertEqual(at, "at", text)
                reported[tuple(sorted((a, b)))] = (float(x), float(y))
        self.assertEqual(set(reported), {tuple(sorted(pair)) for pair in self.crossings})
        failures = []
        for pair, truth in self.crossings.items():
            where = reported[tuple(sorted(pair))]
            if math.dist(where, truth) > TRACK_MARGIN:
                failures.append("%s %s at %s, not %s" % (*pair, where, truth))
            # The two columns on depths of the well-covered part of both lines.
            bottom = min(self.lines[name].coverage().median_depth for name in pair)
            depths = np.arange(0.25, bottom, 0.25)
            columns = []
            for name in pair:
                distance = float(self.lines[name].nearest(np.array(truth))[1][0])
                columns.append([self.images[name].at(distance, d) for d in depths])
            correlation, median, count = likeness(*columns)
            print("crossing %s %s: the columns to %.1f m correlate %.3f, median |dlog10| %.3f (%d depths)"
                  % (*pair, bottom, correlation, median, count))
            if correlation < TIE_CORRELATION or median > MEDIAN_LOG:
                failures.append("%s %s: correlation %.3f, median |dlog10| %.3f" % (*pair, correlation, median))
        self.assertEqual(failures, [])

    def test_block_centre_in_the_volume(self):
        volume = read_csv(os.path.join(self.out, "volume.csv"))
        self.assertEqual(list(volume), ["x", "y", "z", "depth", "resistivity"])
        host = self.truth.HOST
        seen = self.seen(volume["x"], volume["y"], volume["depth"])
        found = anomaly_centre(volume["x"], volume["y"], volume["depth"], volume["resistivity"], host, seen)
        grid = meshio.read(self.vtk)
        points = grid.points
        # The grid's depths: below the top of its column of points (the ground).
        keys = [tuple(np.round(p[:2], 6)) for p in points]
        tops = {}
        for key, z in zip(keys, points[:, 2]):
            tops[key] = max(tops.get(key, -math.inf), z)
        depth = np.array([tops[key] for key in keys]) - points[:, 2]
        from_vtk = anomaly_centre(points[:, 0], points[:, 1], depth, np.ravel(grid.point_data["resistivity"]), host,
                                  self.seen(points[:, 0], points[:, 1], depth))
        failures = []
        for source, centre in (("volume.csv", found), ("VTK", from_vtk)):
            self.assertIsNotNone(centre, source)
            horizontal = math.dist(centre[:2], self.block_centre[:2])
            depth_error = abs(centre[2] - self.block_centre[2]) / self.block_centre[2]
            print("block centre in the %s: %.1f %.1f at %.2f m depth: %.2f m off horizontally, %.0f %% in depth"
                  % (source, *centre, horizontal, 100 * depth_error))
            if horizontal > BLOCK_HORIZONTAL or depth_error > BLOCK_DEPTH_SHARE:
                failures.append("%s: %.2f m off, %.0f %% in depth" % (source, horizontal, 100 * depth_error))
        # The VTK grid is the volume of the CSV file.
        self.assertEqual(len(points), len(volume["x"]))
        self.assertEqual(failures, [])

    def seen(self, x, y, depth):
        """Whether the data see points of the volume: within half a line
        spacing of a track, in the well-covered part of that line at the
        distance of the track's nearest point (the volume reaches below
        and beyond it, where an image means nothing)."""
        points = np.column_stack([x, y])
        best = np.full(len(points), math.inf)
        covered = np.zeros(len(points), dtype=bool)
        for line in self.lines.values():
            off, distance = line.nearest(points)
            coverage = line.coverage()
            closer = off < best
            best[closer] = off[closer]
            covered[closer] = [coverage.covers(d, z) for d, z in zip(distance[closer], np.asarray(depth)[closer])]
        return covered & (best <= 0.5 * self.truth.LINE_GAP)

    def test_slices_at_their_depths_below_the_ground(self):
        volume = read_csv(os.path.join(self.out, "volume.csv"))
        ground = volume["z"] + volume["depth"]
        places = np.column_stack([volume["x"], volume["y"]])
        for depth in SLICES:
            path = os.path.join(self.out, "slice-%s.csv" % depth)
            piece = read_csv(path)
            self.assertEqual(list(piece), ["x", "y", "z", "resistivity"])
            self.assertGreater(len(piece["x"]), 0, path)
            # Each point's ground: the volume's at its nearest column.
            nearest = np.array([np.argmin(np.hypot(*(places - p).T)) for p in zip(piece["x"], piece["y"])])
            reach = np.hypot(*(places[nearest] - np.column_stack([piece["x"], piece["y"]])).T)
            below = ground[nearest] - piece["z"]
            # On a track the ground is the line's own; between the tracks the
            # true relief, which the lines' grounds joined by straight lines
            # follow within a few centimetres (README.md: a hill 20 m wide).
            points = np.column_stack([piece["x"], piece["y"]])
            track = np.full(len(points), math.inf)
            track_ground = np.full(len(points), math.nan)
            for line in self.lines.values():
                off, distance = line.nearest(points)
                closer = off < track
                track[closer] = off[closer]
                track_ground[closer] = line.ground_at(distance[closer])
            on = track <= TRACK_MARGIN
            true_ground = self.truth.ground(piece["x"], piece["y"])
            print("slice %s m: %d points, depths below the volume's ground %.3f .. %.3f m (nearest column %.2f m "
                  "away), below the line's ground at %d points on a track %.3f .. %.3f m, below the true ground "
                  "%.3f .. %.3f m" % (depth, len(below), below.min(), below.max(), reach.max(), on.sum(),
                                     np.min(track_ground[on] - piece["z"][on]),
                                     np.max(track_ground[on] - piece["z"][on]),
                                     np.min(true_ground - piece["z"]), np.max(true_ground - piece["z"])))
            self.assertLessEqual(reach.max(), 2.0, path)
            self.assertGreater(on.sum(), 0, path)
            np.testing.assert_allclose(below, float(depth), atol=0.1, err_msg=path)
            np.testing.assert_allclose(track_ground[on] - piece["z"][on], float(depth), atol=0.1, err_msg=path)
            np.testing.assert_allclose(true_ground - piece["z"], float(depth), atol=0.5, err_msg=path)

    def test_bad_inputs_are_refused_and_nothing_written(self):
        folder = os.path.join(self.folder.name, "bad")
        os.makedirs(os.path.join(folder, "other"))
        good = self.files[:2]
        with open(self.files[2], encoding="utf-8") as file:
            text = file.read().splitlines()
        line = self.lines["line3"]
        count = len(line.map)

        def write(name, electrodes, header="# x y z", data_rows=None):
            path = os.path.join(folder, name)
            rows = data_rows if data_rows is not None else text[3 + count:]
            with open(path, "w", encoding="utf-8") as file:
                file.write("\n".join([text[0], str(len(electrodes)), header] + electrodes + rows) + "\n")
            return path

        same_name = os.path.join(folder, "other", "line1.dat")
        shutil.copyfile(self.files[0], same_name)
        cases = {
            "one electrode": write("single.dat", ["%.4f %.4f %.4f" % tuple(line.map[0])], data_rows=["0", "0"]),
            "two lines of one name": same_name,
            "no map coordinates": write("flat.dat", ["%.4f %.4f" % (d, z) for d, z in zip(line.distance,
                                                                                         line.map[:, 2])],
                                        header="# x z"),
            "feet among metres": write("feet.dat", ["%.4f %.4f %.4f" % tuple(p * 3.28084) for p in line.map]),
            "kilometres away": write("far.dat", ["%.4f %.4f %.4f" % (x + 25000.0, y + 40000.0, z)
                                                 for x, y, z in line.map]),
        }
        for case, path in cases.items():
            out = os.path.join(folder, "out-" + case.replace(" ", "-"))
            vtk = os.path.join(folder, case.replace(" ", "-") + ".vtk")
            before = {p: os.path.getmtime(p) for p in glob.glob(os.path.join(folder, "**"), recursive=True)}
            done = subprocess.run([ARGUMENTS.program, "--invert-lines", out, *good, path, "--vtk", vtk],
                                  capture_output=True, text=True)
            message = done.stderr.strip().splitlines()
            print("%s: exit %d, %s" % (case, done.returncode, done.stderr.strip()))
            self.assertEqual(done.returncode, 1, case)
            self.assertEqual(len(message), 1, case)
            self.assertIn(os.path.basename(path), message[0], case)
            self.assertFalse(os.path.exists(out), case)
            self.assertFalse(os.path.exists(vtk), case)
            after = {p: os.path.getmtime(p) for p in glob.glob(os.path.join(folder, "**"), recursive=True)}
            self.assertEqual(before, after, case)

    def test_whole_run_against_the_lines_separate_inversions(self):
        separate = 0.0
        for name, path in zip(LINES, self.files):
            done, seconds = run_timed("--invert", os.path.join(self.folder.name, name + "-alone.csv"), path)
            self.assertEqual(done.returncode, 0, done.stderr)
            separate += seconds
        limit = TIME_FACTOR * separate + TIME_MARGIN
        print("the whole run %.1f s, the lines' separate inversions %.1f s together (limit %.1f s)"
              % (self.seconds, separate, limit))
        self.assertLessEqual(self.seconds, limit)


if __name__ == "__main__":
    program.run_tests(__doc__, globals())
