// Writes the volume of a site made by hand (three parallel lines 8 m apart
// over a slope, the first bending at its end, a tie line crossing them at
// 45°, a conductive block under the first) as VTK and CSV into a folder,
// for a VTK reader other than the program's to read back
// (tests/section/pygimli/SiteVolumeVtk_test.py).
//   site_volume_writer FOLDER

#include "section/site/SiteVolume.h"

#include "tests/section/site/SiteFixtures.h"

#include <exception>
#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    using namespace lp;
    using namespace lp::site_fixtures;
    if (argc != 2) {
        std::cerr << "usage: site_volume_writer FOLDER\n";
        return 2;
    }
    try {
        const TGround slope = [](double d) { return 40.0 + 0.1 * d; };
        const std::vector<TSiteLine> lines = {
            TrackLine("bent", 0.0, 0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, Pi / 6.0}, slope),
            EastLine("middle", 8.0, [](double d) { return 41.0 + 0.1 * d; }),
            EastLine("north", 16.0, [](double d) { return 42.0 + 0.1 * d; }),
            TrackLine("tie", 2.0, -6.0, {Pi / 4.0}, [](double d) { return 40.0 + 0.05 * d; })};
        const TValue block = [](double d, double z) { return d > 10.0 && d < 18.0 && z > 1.5 && z < 5.0 ? 8.0 : 80.0; };
        const TValue host = [](double, double z) { return 80.0 + 2.0 * z; };
        const TSiteVolume volume = InterpolateVolume(lines, ImagesOf(lines, {block, host, host, host}));
        const std::string folder = argv[1];
        std::ofstream(folder + "/volume.vtk") << FormatVolumeVtk(volume);
        std::ofstream(folder + "/volume.csv") << FormatVolumeCsv(volume);
        std::ofstream grid(folder + "/grid.txt");
        grid << volume.X0 << " " << volume.Y0 << " " << volume.Step << " " << volume.Nx << " " << volume.Ny << " "
             << volume.Depths.size() << "\n";
        return grid ? 0 : 1;
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
}
