#pragma once
// The processor's vector registers between stages of the computation.
//
// On x86-64 processors with AVX, code compiled for SSE alone (the mesher,
// the sparse factorisation) runs at a fraction of its speed while the upper
// halves of the vector registers hold data: every SSE instruction then
// waits on them. A thread starts with its creator's registers, so a thread
// started by one that drew with AVX (the user-interface thread of a Qt
// program) inherits the slow state, and the SSE code never leaves it:
// meshing the example took twice as long there. Clearing the upper halves
// at the start of each stage costs nothing and changes no result (SSE code
// keeps nothing in them).

namespace lp {

// Clears the upper halves of the vector registers (vzeroupper) where the
// processor has AVX; does nothing elsewhere.
void ClearUpperVectorState();

} // namespace lp
