"""The forward response of the example section against pyGIMLi's ert.simulate
on the same survey (48 electrodes, dipole-dipole, six levels, chargeability
included: two runs each) and the same machine, on two cores.

    taskset -c 0,1 build/test/pyvenv/bin/python bench/pygimli_forward_bench.py [--build build/test]

The program: forward_bench's ForwardExample/48 (meshing included, two
threads; no process start-up). pyGIMLi: the two ert.simulate calls alone
(resistivity and charged resistivity) on the mesh the tests compare with
(quadratic elements), its mesh building excluded. Prints both times, both
mesh sizes and the ratio."""

import json
import os
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "section", "pygimli"))

import ground_mesh  # noqa: E402
import program  # noqa: E402

CELL_AREA = 200.0  # as in ForwardResponse_test.py


def ours(build):
    done = subprocess.run([os.path.join(build, "bench", "forward_bench"), "--benchmark_filter=ForwardExample/48/",
                           "--benchmark_format=json", "--benchmark_repetitions=5"],
                          capture_output=True, text=True, check=True)
    runs = [b for b in json.loads(done.stdout)["benchmarks"] if b.get("aggregate_name") == "median"]
    return runs[0]["real_time"] / 1000.0, int(runs[0]["nodes"])


def theirs(build, repeats=5):
    import pygimli as pg
    from pygimli.physics import ert
    ground_mesh.quiet_pygimli()
    pg.core.setThreadCount(2)
    data, scheme, model = program.example_survey(build, ROOT)
    ground = ground_mesh.ground_mesh(model, data.electrodes, 100.0, CELL_AREA)
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        for charged in (False, True):
            ert.simulate(ground.mesh, scheme=scheme, res=ground.cell_values(charged), calcOnly=True, sr=False,
                         verbose=False)
        times.append(time.perf_counter() - start)
    return sorted(times)[len(times) // 2], ground.mesh.nodeCount()


def main():
    build = program.bench_build(__doc__, ROOT)
    cores = sorted(os.sched_getaffinity(0))
    if len(cores) != 2:
        print("note: running on %d cores; the comparison is meant for two (taskset -c 0,1)" % len(cores))
    our_time, our_nodes = ours(build)
    their_time, their_nodes = theirs(build)
    print("program (forward_bench ForwardExample/48): %.3f s, %d nodes (linear triangles), meshing included"
          % (our_time, our_nodes))
    print("pyGIMLi (ert.simulate x2):                 %.3f s, %d nodes (quadratic triangles), meshing excluded"
          % (their_time, their_nodes))
    print("ratio pyGIMLi / program: %.1f" % (their_time / our_time))


if __name__ == "__main__":
    main()
