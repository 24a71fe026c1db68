// The sweep kernel (sweep_kernel.hpp) built with AVX2 and FMA, for the CPUs that have them:
// sweep.cpp calls it only where __builtin_cpu_supports finds both. This unit's Eigen is renamed, so
// that none of its template instances (compiled for AVX2) can stand in for the portable units' at
// link time.
#define Eigen kelvor_modal_avx2_eigen
#include <Eigen/Dense>

#define KELVOR_SWEEP_KERNEL sweep_avx2
#include "modal/sweep_kernel_body.hpp"
