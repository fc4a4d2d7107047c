"""The ground of a section for pyGIMLi: the program's model export rebuilt
as a pyGIMLi piecewise linear complex (every region boundary, the electrodes
as nodes on the ground surface, a refinement node below each), padded as the
program pads it (the surface level beyond the model area's top corners; the
ground continued beyond its sides and bottom as it is at the nearest point
of the border: a strip beside every side edge in that edge's region, a strip
below every bottom edge, the corners as the strips beside them), meshed with
pyGIMLi's triangle interface, with quadratic elements. Cells get the marker
of their region's tag."""

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


def ground_plc(model, electrodes, padding=4.0, refinement=0.1, buried=False):
    """The padded geometry with the electrodes (x, elevation) as nodes;
    buried: electrodes inside a region too (in a borehole), each with four
    refinement nodes round it."""
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
        chain = [nodes[start]]
        chain += [plc.createNodeWithCheck([x, z], tolerance) for _, x, z in electrodes_on(start, end)]
        chain.append(nodes[end])
        for a, b in zip(chain, chain[1:]):
            plc.createEdge(a, b, marker)

    for x, z in electrodes:
        count = plc.nodeCount()
        plc.createNodeWithCheck([x, z], tolerance)
        if plc.nodeCount() != count and not buried:
            raise AssertionError("electrode at (%g, %g) is not on a line of the model" % (x, z))
        plc.createNode([x, z - refinement * spacing])
        if plc.nodeCount() != count + 1:
            for dx, dz in ((1, 0), (-1, 0), (0, 1)):
                plc.createNode([x + dx * refinement * spacing, z + dz * refinement * spacing])

    # The padding: the surface level beyond the top corners; a line out from
    # every point of the sides and the bottom between the corners splits it
    # into the strips that continue the border's regions.
    reach = padding * width
    top_left = max((p for p in model.points.values() if abs(p[0] - left) < tolerance), key=lambda p: p[1])
    top_right = max((p for p in model.points.values() if abs(p[0] - right) < tolerance), key=lambda p: p[1])
    left_levels = sorted({p[1] for p in model.points.values()
                          if abs(p[0] - left) < tolerance and bottom + tolerance < p[1] < top_left[1] - tolerance},
                         reverse=True)
    right_levels = sorted({p[1] for p in model.points.values()
                           if abs(p[0] - right) < tolerance and bottom + tolerance < p[1] < top_right[1] - tolerance})
    bottom_places = sorted({p[0] for p in model.points.values()
                            if abs(p[1] - bottom) < tolerance and left + tolerance < p[0] < right - tolerance})
    outer = ([top_left, [left - reach, top_left[1]]] + [[left - reach, y] for y in left_levels] +
             [[left - reach, bottom - reach]] + [[x, bottom - reach] for x in bottom_places] +
             [[right + reach, bottom - reach]] + [[right + reach, y] for y in right_levels] +
             [[right + reach, top_right[1]], top_right])
    chain = [plc.createNodeWithCheck(p, tolerance) for p in outer]
    markers = [SURFACE] + [OUTER] * (len(chain) - 3) + [SURFACE]
    for (a, b), marker in zip(zip(chain, chain[1:]), markers):
        plc.createEdge(a, b, marker)
    for y in left_levels:
        plc.createEdge(plc.createNodeWithCheck([left, y], tolerance), plc.createNodeWithCheck([left - reach, y], tolerance))
    for y in right_levels:
        plc.createEdge(plc.createNodeWithCheck([right, y], tolerance),
                       plc.createNodeWithCheck([right + reach, y], tolerance))
    for x in bottom_places:
        plc.createEdge(plc.createNodeWithCheck([x, bottom], tolerance),
                       plc.createNodeWithCheck([x, bottom - reach], tolerance))
    return plc, (left, right, bottom), padding_seeds(model, (left, right, bottom), reach, top_left[1], top_right[1],
                                                     left_levels, right_levels, bottom_places)


def padding_seeds(model, frame, reach, top_left, top_right, left_levels, right_levels, bottom_places):
    """A point inside every strip of the padding with the tag of the region it
    continues (that at the nearest point of the border). The lowest strip of
    each side and the outer strips below the bottom meet round the corner:
    refused unless they continue the same region (the program's corner block
    takes the corner's region)."""
    left, right, bottom = frame
    inset = 1e-6 * (right - left)

    def tag(x, y):
        return model.surface_tag.get(surface_at(model, x, y), 1)

    seeds = []
    for x_side, inward, levels, top in ((left, inset, left_levels, top_left), (right, -inset, right_levels, top_right)):
        edges = sorted([top] + list(levels) + [bottom], reverse=True)
        outward = -reach / 2 if inward > 0 else reach / 2
        for upper, lower in zip(edges, edges[1:]):
            seeds.append(((x_side + outward, (upper + lower) / 2), tag(x_side + inward, (upper + lower) / 2)))
    places = [left] + list(bottom_places) + [right]
    for first, second in zip(places, places[1:]):
        seeds.append((((first + second) / 2, bottom - reach / 2), tag((first + second) / 2, bottom + inset)))
    for x_side, inward, corner_x in ((left, inset, (places[0] + places[1]) / 2), (right, -inset, (places[-2] + places[-1]) / 2)):
        lowest = tag(x_side + inward, bottom + inset)
        if lowest != tag(corner_x, bottom + inset):
            raise AssertionError("the regions beside and below the corner at x = %g differ" % x_side)
    return seeds


def ground_mesh(model, electrodes, host_resistivity, cell_area, quality=33.0, padding=4.0, refinement=0.1,
                buried=False):
    """Meshes the section's ground: cells inside the model area no larger
    than cell_area, graded freely in the padding; P2 elements."""
    plc, _, padding = ground_plc(model, electrodes, padding, refinement, buried)
    # A first mesh finds a point inside every region of the model area for its marker.
    rough = mt.createMesh(plc, quality=quality)
    seeds = {}
    for cell in rough.cells():
        x, y = cell.center()[0], cell.center()[1]
        surface = surface_at(model, x, y)
        if surface is not None and (surface not in seeds or cell.size() > seeds[surface][1]):
            seeds[surface] = ((x, y), cell.size())
    for surface, (position, _) in seeds.items():
        plc.addRegionMarker(position, model.surface_tag[surface], cell_area)
    for position, tag in padding:
        plc.addRegionMarker(position, tag)
    mesh = mt.createMesh(plc, quality=quality).createP2()
    resistivity = {tag: (rho if rho is not None else host_resistivity) for tag, (_, rho, _) in model.regions.items()}
    polarizability = {tag: eta for tag, (_, _, eta) in model.regions.items()}
    return GroundMesh(mesh, resistivity, polarizability)
