#include "modal/modes.hpp"

#include <algorithm>

#include <array>
#include <cmath>
#include <cstdint>

#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/bessel_prime.hpp>
#include <boost/math/tools/toms748_solve.hpp>

#include "modal/units.hpp"

namespace {
// Double precision throughout: no promotion to long double inside Boost's Bessel functions.
using Policy = boost::math::policies::policy<boost::math::policies::promote_double<false>>;
} // namespace

namespace kelvor::modal {

namespace {

// Iteration limit of each TOMS 748 solve; the bracket of width below pi takes about ten.
constexpr std::uintmax_t kRootIterations = 60;

struct ZeroTable {
  std::array<double, kMaxModes / 2> j1{}, j1_prime{};
  int modes = 0;
};

ZeroTable make_table() {
  ZeroTable table;
  const auto j1_prime = [](double x) { return boost::math::cyl_bessel_j_prime(1, x, Policy()); };
  // J1' is 1/2 at 0 and falls through j'_11 before j_11; 1 lies below j'_11 = 1.84.
  double lower = 1.0;
  for (std::size_t i = 0; i < table.j1.size(); ++i) {
    table.j1[i] = boost::math::cyl_bessel_j_zero(1.0, static_cast<int>(i) + 1);
    std::uintmax_t iterations = kRootIterations;
    const auto [a, b] = boost::math::tools::toms748_solve(
        j1_prime, lower, table.j1[i], boost::math::tools::eps_tolerance<double>(51), iterations);
    if (iterations >= kRootIterations)
      return table;
    table.j1_prime[i] = (a + b) / 2;
    table.modes = 2 * static_cast<int>(i + 1);
    lower = table.j1[i];
  }
  return table;
}

const ZeroTable &zeros() {
  static const ZeroTable table = make_table();
  return table;
}

} // namespace

int mode_table_size() {
  return zeros().modes;
}

int modes_below(double cutoff_ka) {
  const ZeroTable &table = zeros();
  const auto half = static_cast<std::size_t>(table.modes / 2);
  if (half == 0 || !(cutoff_ka <= table.j1[half - 1]))
    return table.modes + 1;
  // TE1n lies below TM1n below TE1(n+1): count the zeros of either kind below the cut-off.
  const auto te =
      std::lower_bound(table.j1_prime.begin(), table.j1_prime.begin() + half, cutoff_ka);
  const auto tm = std::lower_bound(table.j1.begin(), table.j1.begin() + half, cutoff_ka);
  return static_cast<int>((te - table.j1_prime.begin()) + (tm - table.j1.begin()));
}

std::vector<Mode> lowest_modes(int count) {
  const ZeroTable &table = zeros();
  count = std::clamp(count, 0, table.modes);
  std::vector<Mode> modes;
  modes.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const auto n = static_cast<std::size_t>(i / 2);
    if (i % 2 == 0)
      modes.push_back({ModeKind::te, i / 2 + 1, table.j1_prime[n]});
    else
      modes.push_back({ModeKind::tm, i / 2 + 1, table.j1[n]});
  }
  return modes;
}

double profile_norm_m2(const Mode &mode, double radius_m) {
  const double x = mode.cutoff_ka;
  const double half_area = kPi * radius_m * radius_m / 2;
  if (mode.kind == ModeKind::te) {
    const double j = boost::math::cyl_bessel_j(1, x, Policy());
    return half_area * (1 - 1 / (x * x)) * j * j;
  }
  const double jp = boost::math::cyl_bessel_j_prime(1, x, Policy());
  return half_area * jp * jp;
}

std::complex<double> axial_wavenumber(const Mode &mode, double radius_m, double k_per_m) {
  const double kc = mode.cutoff_ka / radius_m;
  const double d = (k_per_m - kc) * (k_per_m + kc);
  // Exactly at cut-off the wave impedances are singular; a mode there is nudged off it by a
  // part in 1e12 of k, far below every other error of the model.
  const double magnitude = std::max(std::sqrt(std::abs(d)), 1e-12 * k_per_m);
  return d > 0 ? std::complex<double>(magnitude, 0) : std::complex<double>(0, -magnitude);
}

std::complex<double> relative_impedance(const Mode &mode, std::complex<double> beta,
                                        double k_per_m) {
  return mode.kind == ModeKind::te ? k_per_m / beta : beta / k_per_m;
}

} // namespace kelvor::modal
