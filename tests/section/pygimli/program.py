"""Running the program and reading what it writes, for the tests that compare
it with pyGIMLi: the command line, its unified data file, and its model
export (the Gmsh geometry and the table of regions)."""

import argparse
import csv
import os
import re
import subprocess
import tempfile


def program_arguments(description):
    """The test's command line: --program, the lithoprism binary; --data,
    the folder of the test sections; --examples, that of the example;
    --kept-data, the tool writing a measured file's kept data. The rest is
    unittest's (e.g. -k NAME)."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--program", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--examples", required=True)
    parser.add_argument("--kept-data", help="the tool writing a measured file's kept data (DataFile_test.py)")
    return parser.parse_known_args()


def run_tests(description, namespace):
    """A test script's main: its command line read (program_arguments),
    ARGUMENTS set in the script's NAMESPACE (its globals()), pyGIMLi's
    logging quietened, then its unittest cases run."""
    import sys
    import unittest
    import ground_mesh
    namespace["ARGUMENTS"], rest = program_arguments(description)
    ground_mesh.quiet_pygimli()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


def run(program, *arguments):
    """Runs the program; fails with its message when it exits otherwise than 0."""
    done = subprocess.run([program, *arguments], capture_output=True, text=True)
    if done.returncode != 0:
        raise AssertionError("lithoprism %s exited with %d: %s" % (" ".join(arguments), done.returncode,
                                                                    done.stderr.strip()))
    return done.stderr


def bench_build(description, root):
    """A benchmark script's command line: --build, the build folder (default
    build/test under the source tree ROOT)."""
    parser = argparse.ArgumentParser(description=description, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(root, "build", "test"))
    return parser.parse_args().build


def example_survey(build, root):
    """The example section's response to the 48-electrode dipole-dipole
    survey of six levels (host 100 ohm-m), read twice: as the program's
    UnifiedData and as pyGIMLi's scheme; with the model's export."""
    from pygimli.physics import ert
    lithoprism = os.path.join(build, "section", "lithoprism")
    section = os.path.join(root, "examples", "example.sec")
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "dd.dat")
        data = forward(lithoprism, path, section, "--host-resistivity", "100", "--electrodes", "48", "--levels", "6")
        scheme = ert.load(path)
        model = export_model(lithoprism, section, folder)
    return data, scheme, model


def write_noisy_data(path, data, seed, rhoa_noise, ip_noise=None, outliers=None, err=None):
    """The program's data with seeded Gaussian noise, in the unified data
    format: rhoa times 1 + RHOA_NOISE N(0, 1), with err = RHOA_NOISE (a
    fraction: pyGIMLi's and the program's reading alike; ERR instead when
    given); with OUTLIERS (count, size) that many data, drawn after the
    noise, times e^size or e^-size (signs drawn too); with IP_NOISE
    (relative, absolute mV/V) and ip in the data, ip plus (relative |ip| +
    absolute) N(0, 1) and that error of the noisy ip as iperr (mV/V, as ip);
    without IP_NOISE no ip. Returns the noisy rhoa and ip (None without)."""
    import numpy as np
    rng = np.random.default_rng(seed)
    rhoa = np.array(data.columns["rhoa"]) * (1.0 + rhoa_noise * rng.standard_normal(len(data)))
    if outliers is not None:
        count, size = outliers
        chosen = rng.choice(len(data), count, replace=False)
        rhoa[chosen] *= np.exp(size * rng.choice([-1, 1], count))
    columns = ["a", "b", "m", "n", "k", "rhoa", "err"]
    values = [data.columns[c] for c in ("a", "b", "m", "n", "k")] + [rhoa, np.full(len(data), err or rhoa_noise)]
    ip = None
    if ip_noise is not None and "ip" in data.columns:
        relative, absolute = ip_noise
        ip = np.array(data.columns["ip"])
        ip = ip + (relative * np.abs(ip) + absolute) * rng.standard_normal(len(data))
        columns += ["ip", "iperr"]
        values += [ip, relative * np.abs(ip) + absolute]
    with open(path, "w", encoding="utf-8") as file:
        file.write("# synthetic data with %g %% noise (seeded): rhoa in ohm-m, err a fraction, ip in mV/V\n"
                   % (100 * rhoa_noise))
        file.write("%d\n# x z\n" % len(data.electrodes))
        for x, z in data.electrodes:
            file.write("%.17g %.17g\n" % (x, z))
        file.write("%d\n# %s\n" % (len(data), " ".join(columns)))
        for row in zip(*values):
            file.write(" ".join("%d" % v if i < 4 else "%.17g" % v for i, v in enumerate(row)) + "\n")
        file.write("0\n")
    return rhoa, ip


def write_scheme(path, electrodes, configurations):
    """A scheme file in the unified data format: electrodes (x, z), configurations (a, b, m, n from 1, 0 a pole)."""
    with open(path, "w", encoding="utf-8") as file:
        file.write("%d\n# x z\n" % len(electrodes))
        file.writelines("%g %g\n" % electrode for electrode in electrodes)
        file.write("%d\n# a b m n\n" % len(configurations))
        file.writelines("%d %d %d %d\n" % c for c in configurations)
        file.write("0\n")


def forward(program, out, section, *options):
    run(program, "--forward", out, section, *options)
    return read_unified_data(out)


class UnifiedData:
    """A unified data file as the program writes it: the electrodes (x, z),
    the data columns by name (a b m n as written, from 1, 0 for a pole)."""

    def __init__(self):
        self.electrodes = []
        self.columns = {}
        self.comment = ""

    def configurations(self):
        return list(zip(*(self.columns[name] for name in ("a", "b", "m", "n"))))

    def __len__(self):
        return len(self.columns["a"])


def read_unified_data(path):
    """Reads the program's data file by its own column lines (independent of
    pyGIMLi's reader, which the tests check against it)."""
    with open(path, encoding="utf-8") as file:
        lines = [line.strip() for line in file if line.strip()]
    data = UnifiedData()
    data.comment = lines[0] if lines[0].startswith("#") else ""
    at = 0

    def block():
        nonlocal at
        while lines[at].startswith("#"):
            at += 1
        count = int(lines[at])
        at += 1
        names = None
        while lines[at].startswith("#"):
            names = lines[at][1:].split()
            at += 1
        rows = [[float(value) for value in line.split()] for line in lines[at:at + count]]
        at += count
        return {name.lower(): [row[i] for row in rows] for i, name in enumerate(names)}

    electrodes = block()
    data.electrodes = list(zip(electrodes["x"], electrodes["z"]))
    data.columns = block()
    for name in ("a", "b", "m", "n"):
        data.columns[name] = [int(value) for value in data.columns[name]]
    return data


class ModelGeometry:
    """The program's model export: points (x, y up), lines, surfaces as
    loops of signed line numbers (the first the outline, then the holes),
    and per surface its region's resistivity and polarizability (per cent)."""

    def __init__(self):
        self.points = {}
        self.lines = {}
        self.loops = {}
        self.surfaces = {}
        self.surface_tag = {}
        self.regions = {}  # tag -> (label, resistivity or None, polarizability per cent)

    def loop_points(self, loop):
        """The points of a curve loop in order, as (x, y)."""
        chain = []
        for signed in self.loops[loop]:
            start, end = self.lines[abs(signed)]
            if signed < 0:
                start, end = end, start
            chain.append(self.points[start])
        return chain

    def frame(self):
        """Left, right and bottom (the lowest y) of the model area."""
        xs = [p[0] for p in self.points.values()]
        ys = [p[1] for p in self.points.values()]
        return min(xs), max(xs), min(ys)


def export_model(program, section, folder):
    """Exports the section's model and reads the geometry and the table."""
    geo = os.path.join(folder, "model.geo")
    run(program, "--export-model", geo, section)
    model = ModelGeometry()
    number = r"(-?[0-9.eE+-]+)"
    with open(geo, encoding="utf-8") as file:
        for line in file:
            line = line.split("//")[0].strip()
            if match := re.match(r"Point\((\d+)\) = \{%s, %s," % (number, number), line):
                model.points[int(match[1])] = (float(match[2]), float(match[3]))
            elif match := re.match(r"Line\((\d+)\) = \{(\d+), (\d+)\}", line):
                model.lines[int(match[1])] = (int(match[2]), int(match[3]))
            elif match := re.match(r"Curve Loop\((\d+)\) = \{(.*)\}", line):
                model.loops[int(match[1])] = [int(v) for v in match[2].split(",")]
            elif match := re.match(r"Plane Surface\((\d+)\) = \{(.*)\}", line):
                model.surfaces[int(match[1])] = [int(v) for v in match[2].split(",")]
            elif match := re.match(r'Physical Surface\(".*", (\d+)\) = \{(.*)\}', line):
                for surface in match[2].split(","):
                    model.surface_tag[int(surface)] = int(match[1])
    with open(geo[:-4] + ".csv", encoding="utf-8", newline="") as file:
        for row in csv.DictReader(file):
            resistivity = float(row["resistivity"]) if row["resistivity"] else None
            polarizability = float(row["polarizability"]) if row["polarizability"] else 0.0
            model.regions[int(row["tag"])] = (row["label"], resistivity, polarizability)
    return model


def scratch_folder():
    return tempfile.TemporaryDirectory(prefix="lithoprism-pygimli-")
