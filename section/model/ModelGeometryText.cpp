#include "section/model/ModelGeometryText.h"

#include <charconv>
#include <cstdlib>

namespace lp {

std::string FormatExactReal(double value)
{
    if (value == 0.0)
        value = 0.0; // no "-0"
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

namespace {

std::string ParameterText(const ParamValue& value)
{
    switch (value.GetKind()) {
    case ParamValue::Kind::Empty:
        return {};
    case ParamValue::Kind::Integer:
        return std::to_string(value.AsInteger());
    case ParamValue::Kind::Real:
        return FormatExactReal(value.AsReal());
    case ParamValue::Kind::Text:
        break;
    }
    return value.AsText();
}

std::string EdgeList(const std::vector<int>& edges)
{
    std::string text;
    for (size_t i = 0; i < edges.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += std::to_string(edges[i]);
    }
    return text;
}

// A comment line cannot run on: line breaks in a text become blanks.
std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

std::string FormatGmshGeometry(const TModelGeometry& geometry)
{
    std::string text;
    text += "// Section model geometry: x is the distance, y is minus the depth (up is positive).\n";
    text += "// Physical surfaces are the regions (tag 1 the host medium); their parameters are in the .csv beside.\n";
    text += "lc = " + FormatExactReal(geometry.Width / 40.0) + "; // mesh size at every point\n\n";
    for (size_t p = 0; p < geometry.Points.size(); ++p)
        text += "Point(" + std::to_string(p + 1) + ") = {" + FormatExactReal(geometry.Points[p].x) + ", " +
                FormatExactReal(geometry.Points[p].y) + ", 0, lc};\n";
    text += "\n";
    for (size_t e = 0; e < geometry.Edges.size(); ++e)
        text += "Line(" + std::to_string(e + 1) + ") = {" + std::to_string(geometry.Edges[e].first + 1) + ", " +
                std::to_string(geometry.Edges[e].second + 1) + "};\n";
    text += "\n";
    int loop = 0;
    for (size_t s = 0; s < geometry.Surfaces.size(); ++s) {
        const TGeometrySurface& surface = geometry.Surfaces[s];
        ++loop;
        text += "Curve Loop(" + std::to_string(loop) + ") = {" + EdgeList(surface.outer) + "};\n";
        std::string loops = std::to_string(loop);
        for (const TGeometryLoop& hole : surface.holes) {
            ++loop;
            text += "Curve Loop(" + std::to_string(loop) + ") = {" + EdgeList(hole) + "};\n";
            loops += ", " + std::to_string(loop);
        }
        text += "Plane Surface(" + std::to_string(s + 1) + ") = {" + loops + "};\n";
    }
    text += "\n";
    for (const TGeometryLine& line : geometry.Lines)
        if (line.surface >= 0)
            text += "Curve{" + EdgeList(line.edges) + "} In Surface{" + std::to_string(line.surface + 1) + "};\n";
    for (const TGeometryRegion& region : geometry.Regions) {
        text += "\n// " + region.name + ": resistivity ";
        const std::string resistivity = ParameterText(region.resistivity);
        const std::string polarizability = ParameterText(region.polarizability);
        text += OneLine(resistivity.empty() ? "not set" : resistivity + " ohm-m");
        text += ", polarizability ";
        text += OneLine(polarizability.empty() ? "not set" : polarizability + " %");
        text += "\n";
        std::vector<int> surfaces;
        for (int s : region.surfaces)
            surfaces.push_back(s + 1);
        if (surfaces.empty())
            text += "// (no area: no surface)\n";
        else
            text += "Physical Surface(\"" + region.name + "\", " + std::to_string(region.tag) + ") = {" +
                    EdgeList(surfaces) + "};\n";
    }
    text += "\nPhysical Curve(\"Frame\", 1) = {" + EdgeList(geometry.FrameEdges) + "};\n";
    int tag = 1;
    for (const TGeometryLine& line : geometry.Lines) {
        std::vector<int> edges;
        for (int edge : line.edges)
            edges.push_back(std::abs(edge));
        text += "Physical Curve(\"" + line.name + "\", " + std::to_string(++tag) + ") = {" + EdgeList(edges) + "};\n";
    }
    return text;
}

std::string FormatRegionTable(const TModelGeometry& geometry)
{
    std::string text = "tag,body,ring,label,resistivity,polarizability,area\n";
    for (const TGeometryRegion& region : geometry.Regions)
        text += std::to_string(region.tag) + "," + std::to_string(region.body) + "," + std::to_string(region.ring) +
                "," + CsvField(region.name) + "," + CsvField(ParameterText(region.resistivity)) + "," +
                CsvField(ParameterText(region.polarizability)) + "," + FormatExactReal(region.area) + "\n";
    return text;
}

} // namespace lp
