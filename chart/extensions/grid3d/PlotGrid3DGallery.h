#pragma once
// The grid and surface family on the "3D" gallery page: "Surface",
// "Contour", "Water Fall", "Color Grid", "Vector 3D", "Tower" and
// "Triangle Surf.", in that order, one gallery series each. The
// unregistering undoes it.

namespace lp {

void RegisterGrid3DSeries();
void UnregisterGrid3DSeries();

} // namespace lp
