"""Where the program and pyGIMLi differ, which is nearer the truth: pyGIMLi's
apparent resistivities of the example's survey (48 electrodes, dipole-dipole,
six levels) on three ever finer meshes against the program's, and pyGIMLi's
on a homogeneous half-space against the analytic value (what no mesh
refinement removes: its wavenumber quadrature).

    build/test/pyvenv/bin/python bench/pygimli_forward_refinement.py [--build build/test]
"""

import os
import sys

import numpy as np

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "section", "pygimli"))

import ground_mesh  # noqa: E402
import program  # noqa: E402

REFINEMENTS = ((200.0, 0.1), (50.0, 0.05), (12.0, 0.03))  # cell area m², refinement node depth in spacings


def half_space_model(width=1000.0, depth=200.0, resistivity=100.0):
    model = program.ModelGeometry()
    model.points = {1: (0.0, 0.0), 2: (0.0, -depth), 3: (width, -depth), 4: (width, 0.0)}
    model.lines = {1: (1, 2), 2: (2, 3), 3: (3, 4), 4: (4, 1)}
    model.loops = {1: [1, 2, 3, 4]}
    model.surfaces = {1: [1]}
    model.surface_tag = {1: 1}
    model.regions = {1: ("Host medium", resistivity, 0.0)}
    return model


def pygimli_rhoa(ert, ground, scheme):
    data = ert.simulate(ground.mesh, scheme=scheme, res=ground.cell_values(), calcOnly=True, verbose=False)
    return np.array(data["u"]) * np.array(ert.createGeometricFactors(scheme))


def summary(values, reference):
    differences = values / reference - 1.0
    at = int(np.argmax(np.abs(differences)))
    return "worst %+.3f %% (datum %d), median %.3f %%" % (100 * differences[at], at + 1,
                                                        100 * np.median(np.abs(differences)))


def main():
    build = program.bench_build(__doc__, ROOT)
    from pygimli.physics import ert
    ground_mesh.quiet_pygimli()
    ours, scheme, model = program.example_survey(build, ROOT)
    rhoa = np.array(ours.columns["rhoa"])
    print("The example, the program's rhoa against pyGIMLi's (P2, singularity removal) on finer meshes:")
    for area, refinement in REFINEMENTS:
        ground = ground_mesh.ground_mesh(model, ours.electrodes, 100.0, area, refinement=refinement)
        print("  %6d nodes: %s" % (ground.mesh.nodeCount(), summary(rhoa, pygimli_rhoa(ert, ground, scheme))))
    print("pyGIMLi on a homogeneous half-space of 100 ohm-m against the analytic 100 ohm-m:")
    for area, refinement in REFINEMENTS:
        ground = ground_mesh.ground_mesh(half_space_model(), ours.electrodes, None, area, refinement=refinement)
        print("  %6d nodes: %s" % (ground.mesh.nodeCount(), summary(pygimli_rhoa(ert, ground, scheme), 100.0)))


if __name__ == "__main__":
    main()
