#pragma once
// Loops over every sample or bin that pay for wider vectors: on x86-64 they are built twice, for the
// baseline and for AVX2 with FMA, and the loader picks the one the processor runs. And the upper
// halves of the vector registers, cleared where a block's work begins.

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define MIREL_WIDE_VECTORS __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define MIREL_WIDE_VECTORS
#endif

namespace mirel {

// Code built for the baseline runs at about half its speed on some processors while wider code
// has left the upper halves of the vector registers in use (the oscilloscope's whole block did);
// this clears them, where the processor has them.
void ClearWideRegisters();

}  // namespace mirel
