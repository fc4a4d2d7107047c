"""The inversion of cross-hole data by the program (--invert ... --section)
against pyGIMLi's ERTManager (invert, lam 20) on the same noisy data and the
same two cores: the case of tests/section/pygimli/CrossholeInversion_test.py
(two holes 12 m apart, 12 electrodes each from 1 m to 12 m deep, the
generated cross-hole survey of 809 data, a 20 ohm-m block between the holes
in 100 ohm-m, 3 % seeded noise); pyGIMLi on that test's mesh (the electrodes
as nodes in a parameter region over x 38 to 62 m down to 16 m, cells of at
most --cell-area m²).

    build/test/pyvenv/bin/python bench/pygimli_crosshole_bench.py [--build build/test] [--cores 0,1] [--cell-area 0.5]

Times: the program's whole process (reading, meshing, inversion, writing),
pinned to the cores; pyGIMLi's ERTManager from its construction to the end
of invert (its mesh included, the import of pyGIMLi not), in this process
pinned to the same cores with pg.setThreadCount and OMP/OpenBLAS threads
at their count. Prints per program the chi-square, the block's mean, the
background between the holes, the correlation, cells and time, and the
ratio of the times (program / pyGIMLi)."""

import argparse
import os
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "section", "pygimli"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import program  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "test"))
    parser.add_argument("--cores", default="0,1", help="the cores both run on (default 0,1)")
    parser.add_argument("--cell-area", type=float, default=None, help="pyGIMLi's largest cell, m² (default the test's)")
    arguments = parser.parse_args()
    cores = {int(core) for core in arguments.cores.split(",")}
    import pygimli_inversion_bench as inversion_bench
    inversion_bench.pin_here(cores)
    import CrossholeInversion_test as crosshole
    import Inversion_test as single
    import ground_mesh
    ground_mesh.quiet_pygimli()
    if arguments.cell_area:
        crosshole.PYGIMLI_CELL_AREA = arguments.cell_area
    lithoprism = os.path.join(arguments.build, "section", "lithoprism")
    section = os.path.join(ROOT, "tests", "data", "section", "inversion", crosshole.SECTION)
    with tempfile.TemporaryDirectory(prefix="lithoprism-bench-") as folder:
        measured, count = crosshole.write_data(folder, lithoprism, section)
        out = os.path.join(folder, "ours.csv")
        stdout, seconds, peak = inversion_bench.run_measured([lithoprism, "--invert", out, measured, "--section",
                                                              section], cores)
        last = [line for line in stdout.splitlines() if line.startswith("inverted:")][-1]
        image = single.OurImage(out)
        ours = crosshole.Numbers(image.x, image.depth, image.resistivity,
                                 float(last.split("chi-square")[1].split(",")[0]), seconds, int(last.split()[1]))
        theirs = crosshole.invert_pygimli(measured)
    print("cores %s; cross-hole block: %d data, %g %% noise; pyGIMLi lam %g, cells of at most %g m²"
          % (sorted(cores), count, 100 * crosshole.NOISE, crosshole.LAMBDA, crosshole.PYGIMLI_CELL_AREA))
    print(ours.line("program") + ", peak %.0f MiB" % peak)
    print(theirs.line("pyGIMLi"))
    print("ratio program / pyGIMLi: %.2f" % (ours.seconds / theirs.seconds))


if __name__ == "__main__":
    main()
