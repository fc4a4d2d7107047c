#include "section/forward/VectorState.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define LP_HAS_ZEROUPPER 1
#endif

namespace lp {

#ifdef LP_HAS_ZEROUPPER
namespace {

__attribute__((target("avx"))) void ZeroUpper()
{
    _mm256_zeroupper();
}

} // namespace

void ClearUpperVectorState()
{
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        ZeroUpper();
}
#else
void ClearUpperVectorState() {}
#endif

} // namespace lp
