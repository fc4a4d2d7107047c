"""The ground of a section for pyGIMLi: the program's model export rebuilt
as a pyGIMLi piecewise linear complex (every region boundary, the electrodes
as nodes on the ground surface, a refinement node below each), padded as the
program pads it (the surface level beyond the model area's top corners; the
host medium beyond its sides and bottom, which holds for sections whose
bodies keep off those borders), meshed with pyGIMLi's triangle interface,
with quadratic elements. Cells get the marker of their region's tag."""

import math

import numpy as np
import pygimli as pg
import pygimli.meshtools as mt

def quiet_pygimli():
    """pyGIMLi logs warnings only and caches nothing (no state between runs)."""
    import logging

    from pygimli.utils.cache import noCache
    pg.setLogLevel(logging.WARNING)
    noCache(True)


SURFACE = -1  # no current crosses it (homogeneous Neumann condition)
OUTER = -2    # the padding's sides and bottom (the mixed condition)


def inside(x, y, polygon):
    """Whether (x, y) lies inside the polygon (a list of (x, y)), by the crossings of a ray."""
    crossings = False
    for (x0, y0), (x1, y1) in zip(polygon, polygon[1:] + polygon[:1]):
        if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
            crossings = not crossings
    return crossings


def surface_at(model, x, y):
    """The model surface holding (x, y), or None outside the model area."""
    for surface, loops in model.surfaces.items():
        if inside(x, y, model.loop_points(loops[0])) and not any(
                inside(x, y, model.loop_points(hole)) for hole in loops[1:]):
            return surface
    return None


def frame_lines(model):
    """The lines on the model area's outline: those of exactly one loop."""
    uses = {}
    for loops in model.surfaces.values():
        for loop in loops:
            for signed in model.loops[loop]:
                uses[abs(signed)] = uses.get(abs(signed), 0) + 1
    return {line for line, count in uses.items() if count == 1}


def electrode_spacing(electrodes):
    return min(math.dist(p, q) for i, p in enumerate(electrodes) for q in electrodes[i + 1:])


class GroundMesh:
    """The mesh, the resistivity of each region tag (the padding is the
    host medium, tag 1) and the polarizability (per cent) of each tag."""

    def __init__(self, mesh, resistivity, polarizability):
        self.mesh = mesh
        self.resistivity = resistivity
        self.polarizability = polarizability

    def cell_values(self, charged=False):
        """Resistivity per cell; charged: ρ / (1 - η) (Seigel's formulation)."""
        values = []
        for marker in self.mesh.cellMarkers():
            rho = self.resistivity[marker]
            if charged:
                rho /= 1.0 - self.polarizability[marker] / 100.0
            values.append(rho)
        return np.array(values)


def ground_plc(model, electrodes, padding=4.0, refinement=0.1):
    """The padded geometry with the electrodes (x, elevation) as nodes."""
    left, right, bottom = model.frame()
    width = right - left
    tolerance = 1e-9 * width
    spacing = electrode_spacing(electrodes)
    plc = pg.Mesh(2)
    nodes = {number: plc.createNode([x, y]) for number, (x, y) in model.points.items()}

    def electrodes_on(start, end):
        (x0, y0), (x1, y1) = model.points[start], model.points[end]
        length = math.hypot(x1 - x0, y1 - y0)
        found = []
        for x, z in electrodes:
            t = ((x - x0) * (x1 - x0) + (z - y0) * (y1 - y0)) / length ** 2
            off = abs((x - x0) * (y1 - y0) - (z - y0) * (x1 - x0)) / length
            if off < tolerance and 0 < t * length - tolerance and t * length + tolerance < length:
                found.append((t, x, z))
        return sorted(found)

    outline = frame_lines(model)
    for line, (start, end) in model.lines.items():
        (x0, y0), (x1, y1) = model.points[start], model.points[end]
        on_side = (abs(x0 - left) < tolerance and abs(x1 - left) < tolerance) or (
            abs(x0 - right) < tolerance and abs(x1 - right) < tolerance)
        on_bottom = abs(y0 - bottom) < tolerance and abs(y1 - bottom) < tolerance
        marker = SURFACE if line in outline and not on_side and not on_bottom else 0
        if line in outline and (on_side or on_bottom):
            # The padding is the host medium: the regions along the border must be too.
            inward = (0.0, 1.0) if on_bottom else ((1.0, 0.0) if abs(x0 - left) < tolerance else (-1.0, 0.0))
            x, y = (x0 + x1) / 2 + 1e-6 * width * inward[0], (y0 + y1) / 2 + 1e-6 * width * inward[1]
            if model.surface_tag.get(surface_at(model, x, y)) != 1:
                raise AssertionError("a body touches the model area's side or bottom at (%g, %g)" % (x, y))
        chain = [nodes[start]]
        chain += [plc.createNodeWithCheck([x, z], tolerance) for _, x, z in electrodes_on(start, end)]
        chain.append(nodes[end])
        for a, b in zip(chain, chain[1:]):
            plc.createEdge(a, b, marker)

    for x, z in electrodes:
        count = plc.nodeCount()
        plc.createNodeWithCheck([x, z], tolerance)
        if plc.nodeCount() != count:
            raise AssertionError("electrode at (%g, %g) is not on a line of the model" % (x, z))
        plc.createNode([x, z - refinement * spacing])

    # The padding: the surface level beyond the top corners, host medium around.
    reach = padding * width
    top_left = max((p for p in model.points.values() if abs(p[0] - left) < tolerance), key=lambda p: p[1])
    top_right = max((p for p in model.points.values() if abs(p[0] - right) < tolerance), key=lambda p: p[1])
    corners = [plc.createNodeWithCheck(p, tolerance) for p in (
        top_left, [left - reach, top_left[1]], [left - reach, bottom - reach], [right + reach, bottom - reach],
        [right + reach, top_right[1]], top_right)]
    for (a, b), marker in zip(zip(corners, corners[1:]), (SURFACE, OUTER, OUTER, OUTER, SURFACE)):
        plc.createEdge(a, b, marker)
    return plc, (left, right, bottom)


def ground_mesh(model, electrodes, host_resistivity, cell_area, quality=33.0, padding=4.0, refinement=0.1):
    """Meshes the section's ground: cells inside the model area no larger
    than cell_area, graded freely in the padding; P2 elements."""
    plc, _ = ground_plc(model, electrodes, padding, refinement)
    # A first mesh finds a point inside every region for its marker.
    rough = mt.createMesh(plc, quality=quality)
    seeds = {}
    for cell in rough.cells():
        x, y = cell.center()[0], cell.center()[1]
        surface = surface_at(model, x, y)
        key = surface if surface is not None else "padding"
        if key not in seeds or cell.size() > seeds[key][1]:
            seeds[key] = ((x, y), cell.size())
    for key, (position, _) in seeds.items():
        if key == "padding":
            plc.addRegionMarker(position, 1)
        else:
            plc.addRegionMarker(position, model.surface_tag[key], cell_area)
    mesh = mt.createMesh(plc, quality=quality).createP2()
    resistivity = {tag: (rho if rho is not None else host_resistivity) for tag, (_, rho, _) in model.regions.items()}
    polarizability = {tag: eta for tag, (_, _, eta) in model.regions.items()}
    return GroundMesh(mesh, resistivity, polarizability)
