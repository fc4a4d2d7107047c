#pragma once
// What one forward computation leaves for the next: the mesh and what is
// built on the mesh alone (element matrices, the system's pattern, its
// fill-reducing order and symbolic factor). A computation whose padded
// geometry is exactly that of the one before (the same regions' shapes,
// model area, relief, electrodes and mesh options; only resistivities or
// polarizabilities changed) takes them over: no meshing, no symbolic
// analysis, only the numeric factorisations. Its data are the same, bit for
// bit, as without the cache.
//
// The key is the padded geometry itself (PadGeometry's output, everything
// the mesh depends on), compared number by number on its bits: never a hash
// alone. One setup is kept, the latest.
//
// Thread safety: several computations may share one cache. A computation
// takes the setup under the cache's lock and holds it by a shared pointer;
// a setup, once kept, is never changed, so a newer one replacing it leaves
// the computations using the older one undisturbed.

#include "section/forward/ForwardMesh.h"
#include "section/forward/ForwardSolver.h"

#include <memory>
#include <mutex>

namespace lp {

// A mesh and what the computation builds on it before the first
// factorisation.
struct TMeshSetup {
    // Meshes Geometry (MeshGeometry; GoOn as there) and analyses the system.
    explicit TMeshSetup(TPaddedGeometry Geometry, const std::function<bool()>& GoOn = {});

    const TPaddedGeometry Geometry; // the key
    const TForwardMesh Mesh;
    const TElementMatrices Elements;
    const TSystemPattern Pattern;
    const TSystemAnalysis Analysis;
};

// True when the two geometries are the same number for number (bit for
// bit: -0 differs from 0, a NaN from everything).
bool SameGeometry(const TPaddedGeometry& A, const TPaddedGeometry& B);

class TForwardCache {
public:
    // The setup kept for exactly this geometry; null when there is none.
    std::shared_ptr<const TMeshSetup> Find(const TPaddedGeometry& Geometry) const;
    // Keeps Setup in place of the one kept so far.
    void Keep(std::shared_ptr<const TMeshSetup> Setup);
    void Clear();

private:
    mutable std::mutex FLock;
    std::shared_ptr<const TMeshSetup> FSetup;
};

} // namespace lp
