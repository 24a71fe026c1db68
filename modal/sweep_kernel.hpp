// The arithmetic of the two sweeps (sweep.hpp) behind a plain interface free of Eigen's types, so
// that it can be compiled twice: once portable (SSE2 on x86-64) and, where the compiler and target
// allow it (x86-64 with GCC or Clang, not the Windows or WebAssembly builds), once more with AVX2
// and FMA in a translation unit of its own whose Eigen lives in a namespace of its own (no template
// instance is shared with the portable code). sweep.cpp picks the AVX2 build once, by the CPU's
// feature bits; both give the same answers to rounding (modal_test measures them against each
// other).
#pragma once

#include <complex>
#include <cstddef>

namespace kelvor::modal::kernel {

// One merged section at one frequency: its modes' square roots of the relative wave impedances and
// their propagation factors over its length.
struct Section {
  std::ptrdiff_t modes;
  const std::complex<double> *sqrt_z, *propagation;
};

// The coupling of step i (sections i and i + 1): small-by-large, column-major.
struct Coupling {
  const double *matrix;
  bool widening; // section i is the smaller guide
};

// steps + 1 sections and steps couplings. Returns the input reflection of TE11 at the start of the
// first section and writes the forward waves at the end of the last (its modes) into forward.
using Sweep = std::complex<double> (*)(const Section *sections, const Coupling *couplings,
                                       std::size_t steps, std::complex<double> *forward);

std::complex<double> sweep_portable(const Section *sections, const Coupling *couplings,
                                    std::size_t steps, std::complex<double> *forward);
#ifdef KELVOR_MODAL_AVX2
std::complex<double> sweep_avx2(const Section *sections, const Coupling *couplings,
                                std::size_t steps, std::complex<double> *forward);
#endif

} // namespace kelvor::modal::kernel
