#include "modal/sweep.hpp"

#include <vector>

#include "modal/sweep_kernel.hpp"
#include "modal/units.hpp"

namespace kelvor::modal {

namespace {

// The AVX2 build of the kernel where this CPU (and its operating system) runs it, else the portable
// one; asked once.
kernel::Sweep fastest_kernel() {
#ifdef KELVOR_MODAL_AVX2
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
    return kernel::sweep_avx2;
#endif
  return kernel::sweep_portable;
}

} // namespace

Te11Response te11_response(const Staircase &staircase, double freq_ghz, SweepBuild build) {
  static const kernel::Sweep fastest = fastest_kernel();
  const double k = wavenumber_per_m(freq_ghz);
  std::vector<ModalWaves> waves;
  std::vector<kernel::Section> sections;
  for (const GuideSection &section : staircase.sections)
    waves.push_back(modal_waves(section, k));
  for (const ModalWaves &w : waves)
    sections.push_back({w.sqrt_z.size(), w.sqrt_z.data(), w.propagation.data()});
  std::vector<kernel::Coupling> couplings;
  for (const Step &step : staircase.steps)
    couplings.push_back({staircase.couplings[step.coupling].data(), step.widening});
  Te11Response response{{}, Eigen::VectorXcd(waves.back().sqrt_z.size())};
  response.s11 = (build == SweepBuild::portable ? kernel::sweep_portable : fastest)(
      sections.data(), couplings.data(), couplings.size(), response.forward.data());
  return response;
}

} // namespace kelvor::modal

// The portable build of the kernel.
#define KELVOR_SWEEP_KERNEL sweep_portable
#include "modal/sweep_kernel_body.hpp"
