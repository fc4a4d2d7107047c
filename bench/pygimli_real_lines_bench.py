"""The program's inversion of the real field lines of ../shared/data/real/
beside pyGIMLi's ERTManager (invert, lam 20) on the same kept data, the same
cores, one run after the other.

    build/test/pyvenv/bin/python bench/pygimli_real_lines_bench.py [--build build/test] [--cores 0,1]
        [--real ../shared/data/real] [--lambdas 1,20,100]

Per line: the data the program keeps after its cleaning (the options given
below, as --invert takes them) written by kept_data_writer; the program's
--invert from each first lambda (--error 3) with the line's IP column and
without it (the IP column stripped from the kept data); pyGIMLi's
resistivity inversion of the kept data (their own errors, as the program
weighs them). Printed per line:
  - times (the program's whole process; pyGIMLi's manager from its
    construction to the end of invert) and their ratio, with and without IP;
  - chi-square and iterations of each run;
  - the least correlation between the program's images from the first
    lambdas and each one's correlation with pyGIMLi's (log10 resistivity at
    the program's cell centres in the covered part: down to the largest
    median depth of investigation, under the data that reach it);
  - the program's cells against the data's apparent resistivities (5-95 %):
    the factor beyond that range its lowest and highest cell reach.
The river line's electrodes lie buried under water: pyGIMLi's manager puts
every electrode on its mesh's surface, so only the program's runs are given
for it."""

import argparse
import math
import os
import subprocess
import sys
import tempfile
import time

import numpy as np

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "section", "pygimli"))

import program  # noqa: E402
from Inversion_test import Coverage, OurImage  # noqa: E402

LAMBDA = 20.0
# name, file, cleaning, with pyGIMLi
SYSCAL_CLEANING = ["--drop-negative", "--drop-reciprocal", "10", "--drop-outliers", "5"]
LINES = [
    ("syscal-ip-reciprocals", "syscal-ip-reciprocals.csv", SYSCAL_CLEANING, True),
    ("series-17040312", os.path.join("syscal-ip-series", "17040312.csv"), SYSCAL_CLEANING, True),
    ("series-17042716", os.path.join("syscal-ip-series", "17042716.csv"), SYSCAL_CLEANING, True),
    ("series-17051605", os.path.join("syscal-ip-series", "17051605.csv"), SYSCAL_CLEANING, True),
    ("river-prime", "river-prime.dat", ["--electrode-positions", "river-prime-electrodes.csv"], False),
]


def pin(cores):
    os.sched_setaffinity(0, cores)
    for name in ("OMP_NUM_THREADS", "OPENBLAS_NUM_THREADS", "MKL_NUM_THREADS"):
        os.environ[name] = str(len(cores))


def without_ip(path, out):
    """The kept data file at PATH written to OUT without its ip column."""
    lines = open(path, encoding="utf-8").read().split("\n")
    count = int(lines[1])
    header = 3 + count
    names = lines[header + 1][1:].split()
    if "ip" not in names:
        return False
    keep = [i for i, name in enumerate(names) if name != "ip"]
    lines[header + 1] = "# " + " ".join(names[i] for i in keep)
    for row in range(header + 2, header + 2 + int(lines[header])):
        values = lines[row].split()
        lines[row] = " ".join(values[i] for i in keep)
    with open(out, "w", encoding="utf-8") as file:
        file.write("\n".join(lines))
    return True


def ours(build, data, out, lam, options):
    command = [os.path.join(build, "section", "lithoprism"), "--invert", out, data, "--error", "3",
               "--lambda", "%g" % lam] + options
    start = time.perf_counter()
    done = subprocess.run(command, capture_output=True, text=True)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        raise RuntimeError("%s: %s" % (" ".join(command), done.stderr.strip()))
    lines = done.stdout.splitlines()
    last = [line for line in lines if line.startswith("inverted:")][-1]
    chi = float(last.split("chi-square")[1].split()[0].rstrip(","))
    iterations = sum(line.startswith("iteration ") for line in lines)
    return OurImage(out), chi, iterations, seconds


def theirs(path):
    import pygimli as pg
    from pygimli.physics import ert
    data = ert.load(path)
    start = time.perf_counter()
    manager = ert.ERTManager(data, verbose=False)
    model = np.array(manager.invert(lam=LAMBDA, verbose=False))
    seconds = time.perf_counter() - start
    domain = manager.paraDomain
    return domain, model, manager.inv.chi2(), manager.inv.iter, seconds, pg


def correlation(a, b):
    return float(np.corrcoef(a, b)[0, 1])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "test"))
    parser.add_argument("--cores", default="0,1")
    parser.add_argument("--real", default=os.path.join(os.path.dirname(ROOT), "shared", "data", "real"))
    parser.add_argument("--lambdas", default="1,20,100")
    arguments = parser.parse_args()
    pin({int(c) for c in arguments.cores.split(",")})
    lambdas = [float(v) for v in arguments.lambdas.split(",")]
    writer = os.path.join(arguments.build, "tests", "section", "kept_data_writer")
    with tempfile.TemporaryDirectory() as folder:
        for name, file, cleaning, compare in LINES:
            # A cleaning value naming a file of the real folder (electrode positions) is taken from there.
            cleaning = [os.path.join(arguments.real, v) if os.path.isfile(os.path.join(arguments.real, v)) else v
                        for v in cleaning]
            kept = os.path.join(folder, name + ".dat")
            subprocess.run([writer, os.path.join(arguments.real, file), kept] + cleaning, check=True,
                           capture_output=True)
            plain = os.path.join(folder, name + "-no-ip.dat")
            has_ip = without_ip(kept, plain)
            data = program.read_unified_data(kept)
            rhoa = (np.array(data.columns["rhoa"]) if "rhoa" in data.columns
                    else np.array(data.columns["k"]) * np.array(data.columns["r"]))
            low, high = np.percentile(rhoa, 5), np.percentile(rhoa, 95)
            coverage = Coverage(data)
            runs = {lam: ours(arguments.build, plain if has_ip else kept, os.path.join(folder, "%s-%g.csv" % (name, lam)),
                              lam, []) for lam in lambdas}
            with_ip = ours(arguments.build, kept, os.path.join(folder, name + "-ip.csv"), LAMBDA, []) if has_ip else None
            image = runs[LAMBDA][0]
            covered = np.array([coverage.covers(x, d) for x, d in zip(image.x, image.depth)])
            logs = {lam: np.log10(run[0].resistivity[covered]) for lam, run in runs.items()}
            alike = min(correlation(logs[a], logs[b]) for a in lambdas for b in lambdas if a < b)
            spread = max(r[1] for r in runs.values()) / min(r[1] for r in runs.values())
            beyond = max(max(low / run[0].resistivity.min(), run[0].resistivity.max() / high) for run in runs.values())
            line = ("%s: %d data; ours %s; images alike %.3f, chi-square spread %.3f, cells up to %.2f times beyond "
                    "the 5-95 %% apparent resistivities" % (
                        name, len(rhoa), ", ".join("from lambda %g chi-square %.3g in %d iterations, %.1f s"
                                                  % (lam, r[1], r[2], r[3]) for lam, r in runs.items()),
                        alike, spread, beyond))
            if with_ip:
                line += "; with its IP column %.1f s" % with_ip[3]
            if compare:
                domain, model, chi, iterations, seconds, pg = theirs(kept)
                ex = np.array([x for x, _ in data.electrodes])
                ez = np.array([z for _, z in data.electrodes])
                mine = runs[LAMBDA][0]
                points = [(x, np.interp(x, ex, ez) - d) for x, d in zip(mine.x[covered], mine.depth[covered])]
                cells = [domain.findCell(pg.Pos(float(x), float(z))) for x, z in points]
                usable = np.array([c is not None for c in cells])
                values = np.array([model[c.id()] if c is not None else math.nan for c in cells])
                likeness = {lam: correlation(logs[lam][usable], np.log10(values[usable])) for lam in lambdas}
                line += ("; pyGIMLi chi-square %.3g in %d iterations, %.1f s; ours over pyGIMLi: chi-square %s, "
                         "time %.2f without IP%s; correlation with pyGIMLi's %s" % (
                             chi, iterations, seconds,
                             " ".join("%.2f" % (r[1] / chi) for r in runs.values()), runs[LAMBDA][3] / seconds,
                             ", %.2f with" % (with_ip[3] / seconds) if with_ip else "",
                             " ".join("%.3f" % likeness[lam] for lam in lambdas)))
            print(line, flush=True)


if __name__ == "__main__":
    main()
