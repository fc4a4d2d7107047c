"""The program's time-lapse inversion (--timelapse) against one inversion
(--invert of the last survey, which has the most to explain) and against pyGIMLi's difference inversion
(tests/section/pygimli/TimeLapse_test.py: ERTManager.invert of the
baseline, then each later survey's data moved by its change from the
baseline's, started from and regularised toward the baseline's model), on
the same two cores:

  ten surveys of a 48-electrode dipole-dipole line (5 m spacing, n <= 6)
  over a 100 ohm-m ground in which a conductive block grows (none in the
  baseline; then 4 + 2t spacings wide, 1 to 2 + t/3 spacings deep, of
  100 (1 - 0.09 t) ohm-m), each the program's forward response with its
  own seeded 2 % Gaussian noise (err 0.02).

    build/test/pyvenv/bin/python bench/pygimli_timelapse_bench.py [--build build/test] [--cores 0,1]

Prints the program's times (one inversion, the series, their ratio) and
pyGIMLi's time of the series."""

import argparse
import os
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "section", "pygimli"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import program  # noqa: E402

SURVEYS = 10
ELECTRODES, SPACING, FIRST = 48, 5.0, 20.0
WIDTH, DEPTH = 275.0, 100.0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "test"))
    parser.add_argument("--cores", default="0,1")
    arguments = parser.parse_args()
    cores = {int(c) for c in arguments.cores.split(",")}
    import pygimli_inversion_bench as inversion_bench
    inversion_bench.pin_here(cores)
    import ground_mesh
    import TimeLapse_test as lapse
    import Inversion_test as single
    ground_mesh.quiet_pygimli()
    lithoprism = os.path.join(arguments.build, "section", "lithoprism")
    centre = FIRST + (ELECTRODES - 1) * SPACING / 2
    with program.scratch_folder() as folder:
        scheme = os.path.join(folder, "scheme.dat")
        single.dipole_dipole_scheme(scheme, ELECTRODES, SPACING, FIRST, (1,), 6)
        files = []
        for t in range(SURVEYS):
            half = (2 + t) * SPACING
            block = (centre - half, centre + half, SPACING, (2 + t / 3) * SPACING)
            section = os.path.join(folder, "block-%d.sec" % t)
            lapse.write_section(section, block, 100.0 * (1 - 0.09 * t), WIDTH, DEPTH)
            clean = program.forward(lithoprism, os.path.join(folder, "clean-%d.dat" % t), section, "--scheme", scheme)
            measured = os.path.join(folder, "survey-%d.dat" % t)
            program.write_noisy_data(measured, clean, 70 + t, 0.02)
            files.append(measured)
        _, one, _ = inversion_bench.run_measured([lithoprism, "--invert", os.path.join(folder, "one.csv"), files[-1]],
                                                 cores)
        out, series, _ = inversion_bench.run_measured([lithoprism, "--timelapse", os.path.join(folder, "lapse"),
                                                       *files], cores)
        start = time.perf_counter()
        lapse.invert_pygimli(files)
        theirs = time.perf_counter() - start
    print(out.strip())
    print("%d data, %d surveys: one inversion %.1f s, the series %.1f s (%.2f times one inversion); pyGIMLi's "
          "series %.1f s (%.2f times the program's)" % (len(clean), SURVEYS, one, series, series / one, theirs,
                                                        theirs / series))


if __name__ == "__main__":
    main()
