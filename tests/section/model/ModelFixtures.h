#pragma once
// Small hand-built section models shared by the model tests.

#include "section/model/Polygons.h"

#include <gtest/gtest.h>

namespace lp::test {

inline complexM P(double x, double y)
{
    return MakeComplex(x, y);
}

// Appends a node and returns its index.
inline int AddNode(Tnodes& nodes, double x, double y, int32_t border = bkNone)
{
    Tnode node;
    node.x = x;
    node.y = y;
    node.border = border;
    nodes.Add(node);
    return nodes.High();
}

inline Polygon MakeRing(std::initializer_list<int32_t> indices)
{
    Polygon ring;
    ring.ring = arofintM(indices);
    ring.params[psId] = -1;
    return ring;
}

// Whether two rings are the same cycle of nodes, whatever their first entry.
inline bool SameCycle(const arofintM& a, const arofintM& b)
{
    if (a.Length() != b.Length())
        return false;
    if (a.Empty())
        return true;
    for (int shift = 0; shift < a.Length(); ++shift) {
        bool same = true;
        for (int i = 0; i < a.Length() && same; ++i)
            same = a[(i + shift) % a.Length()] == b[i];
        if (same)
            return true;
    }
    return false;
}

// A 100 x 50 area, top at y = 0: frame nodes 0..3 and the host ring
// 0, 1, 2, 3, 0, 3, 2, 1 as body 0.
struct FrameModel {
    Tnodes nodes;
    AllSpolygon model;

    FrameModel()
    {
        AddNode(nodes, 0, 0, bkLeft);
        AddNode(nodes, 0, 50, bkBottomLeft);
        AddNode(nodes, 100, 50, bkBottomRight);
        AddNode(nodes, 100, 0, bkRight);
        SPolygon host;
        host.Add(MakeRing({0, 1, 2, 3, 0, 3, 2, 1}));
        model.Add(host);
    }

    // Adds a body of one axis-aligned square ring, in the kept orientation,
    // and returns the body index.
    int AddSquare(double left, double top, double size)
    {
        const int a = AddNode(nodes, left, top);
        const int b = AddNode(nodes, left + size, top);
        const int c = AddNode(nodes, left + size, top + size);
        const int d = AddNode(nodes, left, top + size);
        SPolygon body;
        body.Add(MakeRing({a, b, c, d}));
        model.Add(body);
        return model.High();
    }
};

// The area of FrameModel.
inline constexpr TModelArea kFrameArea{0, 0, 100, 50};

// Adds a failure for every broken invariant of a FrameModel-based model.
inline void ExpectSound(const FrameModel& m)
{
    for (const std::string& fault : CheckModelInvariants(m.model, m.nodes, &kFrameArea))
        ADD_FAILURE() << fault;
}

// Adds one body of four triangles around a centre node inside the square
// (10,10)-(30,30), in the kept orientation; returns the centre node.
inline int AddFourTriangles(FrameModel& m)
{
    const int a = AddNode(m.nodes, 10, 10), b = AddNode(m.nodes, 30, 10), c = AddNode(m.nodes, 30, 30),
              d = AddNode(m.nodes, 10, 30), centre = AddNode(m.nodes, 20, 20);
    SPolygon rings;
    rings.Add(MakeRing({a, b, centre}));
    rings.Add(MakeRing({b, c, centre}));
    rings.Add(MakeRing({c, d, centre}));
    rings.Add(MakeRing({d, a, centre}));
    m.model.Add(rings);
    UpdateBodySharing(m.model.High(), m.model, m.nodes);
    return centre;
}

// Adds a U-shaped body open at the top (nodes in ring order: (10,10),
// (20,10), (20,30), (30,30), (30,10), (40,10), (40,40), (10,40)); returns it.
inline int AddUShape(FrameModel& m)
{
    arofintM ring;
    for (auto [x, y] : {std::pair{10.0, 10.0}, {20.0, 10.0}, {20.0, 30.0}, {30.0, 30.0}, {30.0, 10.0},
                        {40.0, 10.0}, {40.0, 40.0}, {10.0, 40.0}})
        ring.Add(AddNode(m.nodes, x, y));
    SPolygon body;
    Polygon polygon;
    polygon.ring = ring;
    polygon.params[psId] = -1;
    body.Add(polygon);
    m.model.Add(body);
    return m.model.High();
}

} // namespace lp::test
