"""The cost of the phase inversion: the program's --invert of a frequency-
domain line with its phases against the same line without its phase
column, in the same kind of process on the same cores.

The line is that of tests/section/pygimli/PhaseLine_test.py (42 electrodes
2 m apart, dipole-dipole n 1 to 22, a polarizable body; pyGIMLi's forward
computation, noise growing with n, err 3 % + 0.5 mOhm / |R|). Both files
are the same unified file but for the phi column; the run with phases gets
--phase-error as the test gives it.

    build/test/pyvenv/bin/python bench/phase_inversion_bench.py [--build build/test] [--cores 0,1] [--runs 3]

Each run is a process of its own, pinned to the cores (sched_setaffinity),
timed whole (reading, meshing, the inversion, writing); the two files'
runs alternate, RUNS of each. Prints each file's median time and chi-squares,
and the ratio of the medians (with phases / without; the phases' own share
is a few linear solves on the last Jacobian: about 1.3 at most)."""

import argparse
import os
import statistics
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "section", "pygimli"))
sys.path.insert(0, os.path.join(ROOT, "bench"))

import numpy as np  # noqa: E402

import PhaseLine_test as line  # noqa: E402
import ground_mesh  # noqa: E402
from pygimli_inversion_bench import run_measured  # noqa: E402


def chi_square(stdout, start):
    last = [text for text in stdout.splitlines() if text.startswith(start)][-1]
    return float(last.split("chi-square")[1].split()[0].rstrip(","))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "test"))
    parser.add_argument("--cores", default="0,1", help="the cores the runs use (default 0,1)")
    parser.add_argument("--runs", type=int, default=3, help="runs of each file (default 3)")
    arguments = parser.parse_args()
    cores = {int(core) for core in arguments.cores.split(",")}
    lithoprism = os.path.join(arguments.build, "section", "lithoprism")
    ground_mesh.quiet_pygimli()
    data, _, _, resistance, phases, err, phase_error = line.noisy_line()
    rhoa = resistance * np.array(data["k"])
    with tempfile.TemporaryDirectory(prefix="lithoprism-bench-") as folder:
        phased, plain = os.path.join(folder, "phased.dat"), os.path.join(folder, "plain.dat")
        line.write_unified(phased, data, rhoa, err, phases)
        line.write_unified(plain, data, rhoa, err)
        out = os.path.join(folder, "out.csv")
        runs = {"with": [], "without": []}
        for _ in range(arguments.runs):
            stdout, seconds, _ = run_measured([lithoprism, "--invert", out, plain], cores)
            runs["without"].append(seconds)
            plain_chi = chi_square(stdout, "inverted:")
            stdout, seconds, _ = run_measured([lithoprism, "--invert", out, phased, "--phase-error",
                                               "%.6g" % phase_error], cores)
            runs["with"].append(seconds)
            phased_chi, phase_chi = chi_square(stdout, "inverted:"), chi_square(stdout, "phases:")
    with_phases, without = statistics.median(runs["with"]), statistics.median(runs["without"])
    print("cores %s; %d data; %d runs of each; phase error %.3f mrad" % (sorted(cores), data.size(), arguments.runs,
                                                                        phase_error))
    print("  without phases: %6.2f s (median of %s), chi-square %.3g"
          % (without, ", ".join("%.2f" % s for s in runs["without"]), plain_chi))
    print("  with phases:    %6.2f s (median of %s), chi-square %.3g, phases chi-square %.3g"
          % (with_phases, ", ".join("%.2f" % s for s in runs["with"]), phased_chi, phase_chi))
    print("  ratio with / without: %.2f" % (with_phases / without))


if __name__ == "__main__":
    main()
