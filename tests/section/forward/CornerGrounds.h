#pragma once
// Two grounds whose region corners lie close beside the electrodes, where
// the mesh must be finer than the electrodes' fans and their growth make
// it, with the surveys that see those corners. Shared by the forward tests
// and the forward benchmark (no test framework here).
// - A dyke: 10 ohm-m, 4 m wide, in 100 ohm-m, its top 3 m down, each top
//   corner half a metre beside an electrode (48 electrodes 2 m apart).
// - A graben: 20 ohm-m fill with 10 % polarizability, 20 m wide at its
//   top, 10 m deep, its walls steep, under a cover of 100 ohm-m 2 m thick
//   on 1000 ohm-m bedrock; the same 48 electrodes, and pole-dipoles with
//   the pole over the fill.

#include "section/forward/ForwardResponse.h"
#include "section/model/Polygons.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace lp::test {

inline constexpr int CornerElectrodes = 48;
inline constexpr double CornerSpacing = 2.0, CornerWidth = 98.0, CornerDepth = 40.0;

// A frame of CornerWidth x CornerDepth with the host ring's resistivity.
struct TCornerSection {
    Tnodes nodes;
    AllSpolygon model;
    explicit TCornerSection(double host)
    {
        BuildFrameModel(nodes, model, {}, false, CornerDepth, 0.0, CornerWidth, 0.0);
        model[0][0].params[psResistivity] = host;
    }
    // A body of one ring over the points (x, depth).
    int AddBody(const std::vector<std::pair<double, double>>& points, double resistivity)
    {
        arofcomplexM ring;
        for (const auto& [x, depth] : points)
            ring.Add(MakeComplex(x, depth));
        if (!AddPolygon(ring, model, nodes))
            throw std::logic_error("a corner ground's body does not fit");
        model[model.High()][0].params[psResistivity] = resistivity;
        return model.High();
    }
    int NodeAt(double x, double depth) const
    {
        for (int n = 0; n < nodes.Length(); ++n)
            if (nodes[n].x == x && nodes[n].y == depth)
                return n;
        throw std::logic_error("a corner ground has no node there");
    }
    TForwardModel Ground() const { return PrepareForwardModel(model, nodes, {0.0, 0.0, CornerWidth, CornerDepth}); }
};

// The dyke's top corners stand at x = 48.5 and 52.5, half a metre right of
// electrode 24 (x = 48) and left of electrode 26 (x = 52).
inline TForwardModel DykeGround()
{
    TCornerSection section(100.0);
    section.AddBody({{48.5, 3.0}, {52.5, 3.0}, {52.5, CornerDepth}, {48.5, CornerDepth}}, 10.0);
    return section.Ground();
}

// The fill between x = 30 and 50 under the cover, 33 to 47 at its bottom;
// electrodes 15 to 25 (x = 30 to 50) stand over it.
inline TForwardModel GrabenGround()
{
    TCornerSection section(100.0); // the host ring is the cover
    // The bedrock with the graben's notch, the fill a second ring closing it.
    const int rock = section.AddBody({{0.0, 2.0}, {30.0, 2.0}, {33.0, 12.0}, {47.0, 12.0}, {50.0, 2.0}, {CornerWidth, 2.0},
                                      {CornerWidth, CornerDepth}, {0.0, CornerDepth}},
                                     1000.0);
    arofcomplexM mouth;
    for (double x : {30.0, 40.0, 50.0})
        mouth.Add(MakeComplex(x, 2.0));
    if (!AddSubPolygon(section.NodeAt(30.0, 2.0), section.NodeAt(50.0, 2.0), rock, true, section.nodes, section.model,
                       mouth))
        throw std::logic_error("the graben's fill does not fit");
    Polygon& fill = section.model[rock][section.model[rock].High()];
    fill.params[psResistivity] = 20.0;
    fill.params[psPolarizability] = 10.0;
    return section.Ground();
}

// The electrodes 2 m apart from x = 2, no configurations yet.
inline TSurvey CornerLine()
{
    TArrayLayout layout;
    layout.Electrodes = CornerElectrodes;
    layout.Spacing = CornerSpacing;
    layout.First = CornerSpacing;
    layout.Levels = 1;
    TSurvey survey = MakeArraySurvey(layout, 0.0, CornerWidth);
    survey.Configurations.clear();
    return survey;
}

// Pole-dipoles with the pole at electrode a (from 0), the dipole one
// spacing long at n = 1 .. levels spacings from the pole, on both sides.
inline void AddPoleDipoles(TSurvey& survey, int a, int levels)
{
    const int count = static_cast<int>(survey.Electrodes.size());
    for (int n = 1; n <= levels; ++n) {
        if (a + n + 1 < count)
            survey.Configurations.push_back({a, -1, a + n, a + n + 1});
        if (a - n - 1 >= 0)
            survey.Configurations.push_back({a, -1, a - n, a - n - 1});
    }
}

// Every configuration of a kind and levels over the line, and pole-dipoles
// from every electrode: what a field crew would measure over the corners.
inline TSurvey FullCornerSurvey()
{
    TSurvey survey = CornerLine();
    for (TArrayKind kind : {TArrayKind::DipoleDipole, TArrayKind::Wenner}) {
        const std::vector<TConfiguration> more = ArrayConfigurations(kind, CornerElectrodes, 10);
        survey.Configurations.insert(survey.Configurations.end(), more.begin(), more.end());
    }
    for (int a = 0; a < CornerElectrodes; ++a)
        AddPoleDipoles(survey, a, 15);
    survey.Array = SchemeArrayName;
    return survey;
}

} // namespace lp::test
