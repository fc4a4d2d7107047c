"""The inversion of the program (--invert) against pyGIMLi's ERTManager
(invert, lam 20) on the same noisy data, the same two cores, one survey
after the other:

  (a) the example section, 48 electrodes dipole-dipole n <= 6 (host 100 ohm-m);
  (b) a 100-electrode Wenner line, 1 m spacing, every level (1,617 data), over
      tests/data/section/inversion/resistive-body.sec (500 ohm-m at x 22-30 m,
      2-7 m deep, in 100 ohm-m);
  (c) a line over relief: 48 electrodes 1 m apart, dipole-dipole n <= 6, over
      tests/data/section/inversion/relief-hill.sec (a hill 6 m high on flanks
      16 m wide; 10 ohm-m under its crest in 100 ohm-m);
  (d) with --large: a 384-electrode dipole-dipole line n <= 6 (2,271 data)
      over the section of (b), the program alone;
  (e) with --scale N[,N...]: an N-electrode line 1 m apart over the section
      of (b), dipole-dipole n <= 6 with dipoles of 1, 2 and 3 spacings
      (384: 6,714 data; 768: 13,626), the program alone.

    build/test/pyvenv/bin/python bench/pygimli_inversion_bench.py [--build build/test] [--cores 0,1] [--large]
        [--scale 384,768] [--only-scale] [--load] [--no-pygimli]

With --load a second process keeps every core of the machine busy (one
spinning process per core, at normal priority) while each run goes on:
the loaded machine, where a thread made and joined per product waits for
the scheduler at every join.

Data: the program's forward response with 3 % seeded Gaussian noise and
err 0.03 (resistivity only: the example's chargeability is left out, so
both invert the same data). Each program runs in a process of its own,
pinned to the cores (sched_setaffinity; pyGIMLi also with
pg.setThreadCount and OMP/OpenBLAS threads set to their count). Times:
the program's whole process (reading, meshing, inversion, writing);
pyGIMLi's ERTManager from its construction to the end of invert (its
mesh included, the import of pyGIMLi not), and its process. Peak memory:
each process's maximum resident set (wait4). Threads: those each process
created (pthread_create counted by a small library preloaded into it,
built here with the C compiler; "-" without one). Prints per survey both
times, cell counts, iterations, chi-squares, peak memories, threads and
the ratio of the times (program / pyGIMLi)."""

import argparse
import json
import multiprocessing
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "section", "pygimli"))

import program  # noqa: E402

LAMBDA = 20.0
NOISE = 0.03
SEED = 5
SECTION = os.path.join(ROOT, "tests", "data", "section", "inversion", "resistive-body.sec")
HILL = os.path.join(ROOT, "tests", "data", "section", "inversion", "relief-hill.sec")


def pinned(cores):
    def pin():
        os.sched_setaffinity(0, cores)
    return pin


def thread_environment(cores):
    environment = dict(os.environ)
    for name in ("OMP_NUM_THREADS", "OPENBLAS_NUM_THREADS", "MKL_NUM_THREADS"):
        environment[name] = str(len(cores))
    return environment


def pin_here(cores):
    """Pins this process to CORES and gives pyGIMLi and its BLAS as many
    threads (before pyGIMLi runs anything here)."""
    os.sched_setaffinity(0, cores)
    os.environ.update(thread_environment(cores))
    import pygimli as pg
    pg.setThreadCount(len(cores))


THREAD_COUNTER = r"""
#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
static atomic_int created;
typedef int (*create_t)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
int pthread_create(pthread_t* t, const pthread_attr_t* a, void* (*f)(void*), void* p)
{
    static create_t real;
    if (!real)
        real = (create_t)dlsym(RTLD_NEXT, "pthread_create");
    const int result = real(t, a, f, p);
    if (result == 0)
        atomic_fetch_add(&created, 1);
    return result;
}
__attribute__((destructor)) static void report(void)
{
    const char* name = getenv("LP_BENCH_THREADS_FILE");
    FILE* file = name ? fopen(name, "a") : NULL;
    if (file) {
        fprintf(file, "%d\n", atomic_load(&created));
        fclose(file);
    }
}
"""

# The preloaded counter (build_thread_counter), None without a C compiler.
counter_library = None


def build_thread_counter(folder):
    global counter_library
    compiler = shutil.which("cc") or shutil.which("gcc")
    if not compiler:
        return
    source = os.path.join(folder, "thread_counter.c")
    with open(source, "w", encoding="utf-8") as file:
        file.write(THREAD_COUNTER)
    library = os.path.join(folder, "thread_counter.so")
    if subprocess.run([compiler, "-shared", "-fPIC", "-O2", "-o", library, source, "-ldl"]).returncode == 0:
        counter_library = library


def spin():
    while True:
        pass


class MachineLoad:
    """One spinning process per core of the machine while the block runs (--load)."""

    def __init__(self, active):
        self.active = active
        self.processes = []

    def __enter__(self):
        if self.active:
            self.processes = [multiprocessing.Process(target=spin, daemon=True)
                              for _ in range(os.cpu_count() or 1)]
            for process in self.processes:
                process.start()
        return self

    def __exit__(self, *_):
        for process in self.processes:
            process.terminate()
            process.join()


def run_measured(command, cores):
    """Runs COMMAND pinned to CORES; its stdout, wall time, peak resident memory (MiB) and the threads
    it created (None where they cannot be counted)."""
    start = time.perf_counter()
    environment = thread_environment(cores)
    threads_file = None
    if counter_library:
        threads_file = tempfile.NamedTemporaryFile(delete=False, suffix=".threads").name
        environment.update(LD_PRELOAD=counter_library, LP_BENCH_THREADS_FILE=threads_file)
    with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as errors:
        process = subprocess.Popen(command, stdout=out, stderr=errors, preexec_fn=pinned(cores),
                                   env=environment, text=True)
        _, status, usage = os.wait4(process.pid, 0)
        process.returncode = os.waitstatus_to_exitcode(status)
        seconds = time.perf_counter() - start
        out.seek(0)
        errors.seek(0)
        stdout, stderr = out.read(), errors.read()
    threads = None
    if threads_file:
        with open(threads_file, encoding="utf-8") as file:
            counts = [int(line) for line in file if line.strip()]
        os.unlink(threads_file)
        threads = sum(counts) if counts else None
    if process.returncode != 0:
        raise RuntimeError("%s exited with %d: %s" % (command[0], process.returncode, stderr.strip()[-2000:]))
    return stdout, seconds, usage.ru_maxrss / 1024.0, threads


def ours(lithoprism, measured, folder, cores):
    stdout, seconds, peak, threads = run_measured(
        [lithoprism, "--invert", os.path.join(folder, "ours.csv"), measured], cores)
    lines = stdout.splitlines()
    last = [line for line in lines if line.startswith("inverted:")][-1]
    return {"seconds": seconds, "peak": peak, "threads": threads, "cells": int(last.split()[1]),
            "chi_square": float(last.split("chi-square")[1].split(",")[0]),
            "iterations": sum(line.startswith("iteration ") for line in lines)}


def theirs(measured, cores):
    stdout, seconds, peak, threads = run_measured(
        [sys.executable, os.path.abspath(__file__), "--pygimli-worker", measured], cores)
    result = json.loads(stdout.strip().splitlines()[-1])
    result.update(process=seconds, peak=peak, threads=threads)
    return result


def pygimli_worker(measured):
    """In the pinned process: pyGIMLi's inversion of MEASURED, one JSON line."""
    import pygimli as pg
    from pygimli.physics import ert

    import ground_mesh
    ground_mesh.quiet_pygimli()
    pg.setThreadCount(len(os.sched_getaffinity(0)))
    data = ert.load(measured)
    start = time.perf_counter()
    manager = ert.ERTManager(data)
    manager.invert(lam=LAMBDA, verbose=False)
    seconds = time.perf_counter() - start
    print(json.dumps({"seconds": seconds, "cells": manager.paraDomain.cellCount(), "iterations": manager.inv.iter,
                      "chi_square": manager.inv.chi2()}))


def survey_data(lithoprism, folder, name, section, options):
    clean = program.forward(lithoprism, os.path.join(folder, name + "-clean.dat"), section, *options)
    measured = os.path.join(folder, name + ".dat")
    program.write_noisy_data(measured, clean, SEED, NOISE)
    return measured, len(clean), len(clean.electrodes)


def threads_text(result):
    return "-" if result["threads"] is None else "%d" % result["threads"]


def report(title, count, electrodes, our, their=None):
    print("\n%s: %d data, %d electrodes" % (title, count, electrodes))
    print("  program: %7.2f s, %5d cells, %2d iterations, chi-square %.3g, peak %6.0f MiB, %s threads"
          % (our["seconds"], our["cells"], our["iterations"], our["chi_square"], our["peak"], threads_text(our)))
    if their is not None:
        print("  pyGIMLi: %7.2f s, %5d cells, %2d iterations, chi-square %.3g, peak %6.0f MiB, %s threads "
              "(process %.2f s)"
              % (their["seconds"], their["cells"], their["iterations"], their["chi_square"], their["peak"],
                 threads_text(their), their["process"]))
        print("  ratio program / pyGIMLi: %.2f (against its process: %.2f)"
              % (our["seconds"] / their["seconds"], our["seconds"] / their["process"]))
    sys.stdout.flush()


def dipole_lines(electrodes):
    """Dipole-dipole n <= 6 with dipoles of 1, 2 and 3 spacings on ELECTRODES electrodes (from 1)."""
    configurations = []
    for a in (1, 2, 3):
        for n in range(1, 7):
            for first in range(1, electrodes - a * (n + 2) + 1):
                configurations.append((first, first + a, first + a * (n + 1), first + a * (n + 2)))
    return configurations


def scale_data(lithoprism, folder, electrodes):
    scheme = os.path.join(folder, "scale-%d-scheme.dat" % electrodes)
    # The bench section is 400 m wide: a longer line is laid closer (768
    # electrodes at 0.5 m), so that every electrode stands on it.
    spacing = min(1.0, 384.0 / electrodes)
    program.write_scheme(scheme, [(8.0 + spacing * e, 0.0) for e in range(electrodes)], dipole_lines(electrodes))
    return survey_data(lithoprism, folder, "scale-%d" % electrodes, SECTION, ["--scheme", scheme])


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--pygimli-worker":
        pygimli_worker(sys.argv[2])
        return
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "test"))
    parser.add_argument("--cores", default="0,1", help="the cores both run on (default 0,1)")
    parser.add_argument("--large", action="store_true", help="also the 384-electrode line, the program alone")
    parser.add_argument("--scale", default="", help="electrode counts of the lines of dipoles 1-3 spacings (e.g. 384,768)")
    parser.add_argument("--only-scale", action="store_true", help="the --scale lines alone")
    parser.add_argument("--load", action="store_true", help="every core kept busy by a second process")
    parser.add_argument("--no-pygimli", action="store_true", help="the program alone")
    arguments = parser.parse_args()
    cores = {int(core) for core in arguments.cores.split(",")}
    lithoprism = os.path.join(arguments.build, "section", "lithoprism")
    print("cores %s; lambda %g; %g %% noise, err %g%s" % (sorted(cores), LAMBDA, 100 * NOISE, NOISE,
                                                         "; every core loaded" if arguments.load else ""))
    with tempfile.TemporaryDirectory(prefix="lithoprism-bench-") as folder, MachineLoad(arguments.load):
        build_thread_counter(folder)
        surveys = [
            ("(a) example section, dipole-dipole n <= 6", "example", os.path.join(ROOT, "examples", "example.sec"),
             ["--host-resistivity", "100", "--electrodes", "48", "--levels", "6"]),
            ("(b) Wenner line, 1 m spacing, every level", "wenner", SECTION,
             ["--array", "wenner", "--electrodes", "100", "--spacing", "1", "--first", "1", "--levels", "33"]),
            ("(c) a line over relief (a hill), dipole-dipole n <= 6", "hill", HILL,
             ["--electrodes", "48", "--spacing", "1", "--first", "14", "--levels", "6"]),
        ]
        for title, name, section, options in ([] if arguments.only_scale else surveys):
            measured, count, electrodes = survey_data(lithoprism, folder, name, section, options)
            our = ours(lithoprism, measured, folder, cores)
            their = None if arguments.no_pygimli else theirs(measured, cores)
            report(title, count, electrodes, our, their)
        for electrodes in [int(n) for n in arguments.scale.split(",") if n]:
            measured, count, _ = scale_data(lithoprism, folder, electrodes)
            report("(e) dipole-dipole n <= 6, dipoles of 1-3 spacings, the program alone", count, electrodes,
                   ours(lithoprism, measured, folder, cores))
        if arguments.large:
            measured, count, electrodes = survey_data(
                lithoprism, folder, "large", SECTION,
                ["--electrodes", "384", "--spacing", "1", "--first", "8", "--levels", "6"])
            report("(d) dipole-dipole line n <= 6, the program alone", count, electrodes,
                   ours(lithoprism, measured, folder, cores))


if __name__ == "__main__":
    main()
