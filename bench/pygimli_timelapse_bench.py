"""The program's time-lapse inversion (--timelapse) against one inversion of
the baseline alone (--invert) and against pyGIMLi's difference inversion
(tests/section/pygimli/TimeLapse_test.py: ERTManager.invert of the
baseline, then each later survey's data moved by its change from the
baseline's, started from and regularised toward the baseline's model) and,
when it runs, pyGIMLi's TimelapseERT (its inversion of every time step), on
the same two cores:

  eleven surveys (the baseline and ten later ones) of a 48-electrode line
  1 m apart, dipole-dipole of dipoles 1, 2 and 4 spacings, n = 1..6 (633
  data), over 50 ohm-m in the first metre, 200 ohm-m sand to 12 m and
  70 ohm-m below, in which a resistive ellipse (400 ohm-m, +100 %) centred
  5 m deep under the middle grows from half-axes 4 x 1.4 m to 13 x 3.7 m
  (the baseline: the first ellipse at the sand's 200 ohm-m); each the
  program's forward response of its section with its own seeded 2 %
  Gaussian noise (err 0.02). timelapse_bench.cpp inverts the same series
  (its ground in cells) in one process with the breakdown.

    build/test/pyvenv/bin/python bench/pygimli_timelapse_bench.py [--build build/test] [--cores 0,1]

Prints the program's times (one inversion, the series, their ratio) and
pyGIMLi's times of the series."""

import argparse
import datetime
import math
import os
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "section", "pygimli"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import program  # noqa: E402

LATER_SURVEYS = 10
ELECTRODES, SPACING, FIRST = 48, 1.0, 20.0
DIPOLES, LEVELS = (1, 2, 4), 6
WIDTH, DEPTH = 2 * FIRST + (ELECTRODES - 1) * SPACING, 60.0
COVER, SAND_BOTTOM = 1.0, 12.0
BELOW, COVER_RHO, SAND_RHO, ELLIPSE_RHO = 70.0, 50.0, 200.0, 400.0
ELLIPSE_DEPTH = 5.0
NOISE = 0.02
LAMBDA = 20.0


def half_axes(t):
    """Survey t's ellipse (t from 1): 4 x 1.4 m to 13 x 3.7 m."""
    growth = (t - 1) / (LATER_SURVEYS - 1)
    return 4.0 + 9.0 * growth, 1.4 + 2.3 * growth


def write_ground(time_lapse, path, t):
    centre = FIRST + (ELECTRODES - 1) * SPACING / 2
    width, height = half_axes(max(t, 1))
    ellipse = [(centre + width * math.cos(2 * math.pi * k / 64), ELLIPSE_DEPTH + height * math.sin(2 * math.pi * k / 64))
               for k in range(64)]
    time_lapse.write_section(path, WIDTH, DEPTH, BELOW, [
        ("Cover", COVER_RHO, time_lapse.rectangle(0.0, WIDTH, 0.0, COVER)),
        ("Sand", SAND_RHO, time_lapse.rectangle(0.0, WIDTH, COVER, SAND_BOTTOM)),
        ("Ellipse", ELLIPSE_RHO if t > 0 else SAND_RHO, ellipse)])


def timelapse_ert(files):
    """pyGIMLi's TimelapseERT over the series (the baseline's quadrupoles,
    one column of rhoa and err per survey): its time, or why it did not run."""
    import numpy as np
    from pygimli.physics import ert
    data = [ert.load(f) for f in files]
    start = time.perf_counter()
    try:
        series = ert.TimelapseERT(data=data[0], DATA=np.column_stack([np.array(d["rhoa"]) for d in data]),
                                  ERR=np.column_stack([np.array(d["err"]) for d in data]),
                                  times=np.array([datetime.datetime(2024, 1, 1) + datetime.timedelta(days=t)
                                                  for t in range(len(files))]))
        series.invert(lam=LAMBDA, verbose=False)
    except Exception as error:  # noqa: BLE001 - a report of what pyGIMLi refused
        return "did not run (%s: %s)" % (type(error).__name__, str(error).splitlines()[0] if str(error) else "")
    return "%.1f s" % (time.perf_counter() - start)


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
    import time_lapse
    import Inversion_test as single
    ground_mesh.quiet_pygimli()
    lithoprism = os.path.join(arguments.build, "section", "lithoprism")
    with program.scratch_folder() as folder:
        scheme = os.path.join(folder, "scheme.dat")
        single.dipole_dipole_scheme(scheme, ELECTRODES, SPACING, FIRST, DIPOLES, LEVELS)
        files = []
        for t in range(LATER_SURVEYS + 1):
            section = os.path.join(folder, "ground-%d.sec" % t)
            write_ground(time_lapse, section, t)
            clean = program.forward(lithoprism, os.path.join(folder, "clean-%d.dat" % t), section, "--scheme", scheme)
            measured = os.path.join(folder, "survey-%d.dat" % t)
            program.write_noisy_data(measured, clean, 70 + t, NOISE)
            files.append(measured)
        _, one, _ = inversion_bench.run_measured([lithoprism, "--invert", os.path.join(folder, "one.csv"), files[0]],
                                                 cores)
        out, series, _ = inversion_bench.run_measured([lithoprism, "--timelapse", os.path.join(folder, "lapse"),
                                                       *files], cores)
        start = time.perf_counter()
        lapse.invert_pygimli(files)
        theirs = time.perf_counter() - start
        their_timelapse = timelapse_ert(files)
    print(out.strip())
    print("%d data, %d surveys: one inversion %.1f s, the series %.1f s (%.2f times one inversion); pyGIMLi's "
          "difference inversion of the series %.1f s (%.2f times the program's); pyGIMLi's TimelapseERT %s"
          % (len(clean), len(files), one, series, series / one, theirs, theirs / series, their_timelapse))


if __name__ == "__main__":
    main()
