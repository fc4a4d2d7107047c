#pragma once
// Small hand-built section models shared by the model tests.

#include "section/model/Polygons.h"

namespace lp::test {

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

} // namespace lp::test
