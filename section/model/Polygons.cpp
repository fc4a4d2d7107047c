#include "section/model/Polygons.h"

#include "platform/base/Numeric.h"

#include <charconv>

namespace lp {

TPolygonParams DefaultParameters;

void ClearDefaultParameters()
{
    DefaultParameters.Fill(ParamValue());
}

// --- ParamValue --------------------------------------------------------------

namespace {

using TextPointer = std::shared_ptr<const std::string>;

} // namespace

int32_t ParamValue::AsInteger() const
{
    switch (GetKind()) {
    case Kind::Empty:
        return 0;
    case Kind::Integer:
        return std::get<int32_t>(FValue);
    case Kind::Real:
        return RoundToInt32(std::get<double>(FValue));
    case Kind::Text:
        return RoundToInt32(AsReal());
    }
    return 0;
}

double ParamValue::AsReal() const
{
    switch (GetKind()) {
    case Kind::Empty:
        return 0.0;
    case Kind::Integer:
        return std::get<int32_t>(FValue);
    case Kind::Real:
        return std::get<double>(FValue);
    case Kind::Text: {
        const std::string& text = *std::get<TextPointer>(FValue);
        double value = 0.0;
        if (!TryTextToReal(text, value))
            RaiseConvertError("The text \"%s\" is not a number", {text});
        return value;
    }
    }
    return 0.0;
}

std::string ParamValue::AsText() const
{
    switch (GetKind()) {
    case Kind::Empty:
        return {};
    case Kind::Integer:
        return std::to_string(std::get<int32_t>(FValue));
    case Kind::Real:
        return ArgText(std::get<double>(FValue));
    case Kind::Text:
        return *std::get<TextPointer>(FValue);
    }
    return {};
}

const std::string* ParamValue::Text() const noexcept
{
    const auto* text = std::get_if<TextPointer>(&FValue);
    return text != nullptr ? text->get() : nullptr;
}

bool operator==(const ParamValue& a, const ParamValue& b)
{
    if (a.GetKind() == ParamValue::Kind::Text && b.GetKind() == ParamValue::Kind::Text)
        return *a.Text() == *b.Text();
    return a.FValue == b.FValue;
}

// --- Copies ------------------------------------------------------------------

Tnode CopyNodeRecord(const Tnode& node)
{
    Tnode copy;
    copy.x = node.x;
    copy.y = node.y;
    copy.fixed = node.fixed;
    copy.sharing = node.sharing;
    copy.border = node.border;
    return copy;
}

Tnodes CopyNodes(const Tnodes& nodes)
{
    return nodes; // a node is a plain record: the copy shares nothing
}

Polygon CopyPolygon(const Polygon& ring)
{
    // The unnamed field (tag) is not carried by copies.
    return Polygon{CopyIntArray(ring.ring), 0, ring.params};
}

SPolygon CopySPolygon(const SPolygon& body)
{
    // Each ring is made in its place (a model of many bodies is copied
    // for the undo history and the backup on every load).
    SPolygon copy;
    std::vector<Polygon>& rings = copy.Items();
    rings.reserve(body.Items().size());
    for (const Polygon& ring : body) {
        Polygon& made = rings.emplace_back();
        made.ring = ring.ring;
        made.params = ring.params;
    }
    return copy;
}

AllSpolygon CopyAllSpolygon(const AllSpolygon& model)
{
    AllSpolygon copy;
    copy.Items().reserve(model.Items().size());
    for (const SPolygon& body : model)
        copy.Add(CopySPolygon(body));
    return copy;
}

lines CopyLines(const lines& source)
{
    lines copy(source.Length());
    for (int i = 0; i < source.Length(); ++i) {
        copy[i].points = CopyComplexArray(source[i].points);
        copy[i].values = CopyRealArray(source[i].values);
        copy[i].text = source[i].text;
        copy[i].appearance = source[i].appearance;
        copy[i].series = nullptr;
    }
    return copy;
}

// --- Ring access ---------------------------------------------------------------

int RingEdgeCount(const arofintM& ring, bool hostRing)
{
    const int n = ring.Length();
    if (hostRing)
        for (int i = 1; i < n; ++i)
            if (ring[i] == ring[0])
                return i;
    return n;
}

arofcomplexM RingPoints(const arofintM& ring, const Tnodes& nodes)
{
    arofcomplexM points(ring.Length());
    for (int i = 0; i < ring.Length(); ++i)
        points[i] = NodePoint(nodes, ring[i]);
    return points;
}

} // namespace lp
