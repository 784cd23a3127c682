#include "common/WideVectors.h"

namespace mirel {

#if defined(__x86_64__) && defined(__GNUC__)
namespace {
__attribute__((target("avx"))) void ZeroUpperHalves()
{
    __builtin_ia32_vzeroupper();
}
}  // namespace

void ClearWideRegisters()
{
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        ZeroUpperHalves();
}
#else
void ClearWideRegisters() {}
#endif

}  // namespace mirel
