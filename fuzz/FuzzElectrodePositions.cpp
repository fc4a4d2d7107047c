// The electrode positions file of "--electrode-positions FILE": read or
// refused plainly (its line named); an accepted file places finite
// electrodes numbered from 1, and a nominal line placed by it is sound
// data (written and read back the same, its electrodes on a ground or
// refused naming a line) or refused as a whole.

#include "fuzz/FuzzDataFile.h"
#include "section/survey/ElectrodePositions.h"

#include <algorithm>
#include <cmath>

namespace {

// Eight electrodes 1 m apart and a dipole-dipole line of resistances of
// their k's sign.
lp::TMeasuredData NominalLine()
{
    lp::TMeasuredData data;
    for (int e = 0; e < 8; ++e) {
        data.Electrodes.push_back({static_cast<double>(e), 0.0});
        data.ElectrodeLines.push_back(e + 3);
    }
    data.Configurations = lp::ArrayConfigurations(lp::TArrayKind::DipoleDipole, 8, 3);
    for (const lp::TConfiguration& c : data.Configurations) {
        const double k = lp::FlatGeometricFactor(data.Survey(), c);
        data.GeometricFactors.push_back(k);
        data.Resistances.push_back(std::copysign(0.5, k));
        data.Resistivities.push_back(k * data.Resistances.back());
        data.Lines.push_back(static_cast<int>(data.Lines.size()) + 12);
    }
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    const auto read = lp::fuzz::ReadOrRefusePlainly(text, lp::ReadElectrodePositions);
    if (!read)
        return 0;
    lp::fuzz::Require(!read->Positions.empty() &&
                          std::all_of(read->Positions.begin(), read->Positions.end(),
                                      [](const lp::TElectrodePosition& p) {
                                          return p.Number >= 1 && std::isfinite(p.x) && std::isfinite(p.y) &&
                                                 std::isfinite(p.z);
                                      }),
                      "accepted positions are finite and numbered from 1");
    lp::TMeasuredData data = NominalLine();
    try {
        lp::UseElectrodePositions(data, *read);
    } catch (const lp::EDataFileError&) {
        return 0;
    }
    lp::fuzz::RequireSoundMeasuredData(data);
    return 0;
}
