// Generates numeric/glint_tables.hpp: the positive abscissae and the weights of the
// Gauss-Legendre rules of orders 3-10, 12, 16 and 32 on [-1, 1], rounded to single precision.
// Newton iteration on P_N(x) (three-term recurrence) in quadruple precision (__float128). Only
// the type's arithmetic is used, which g++ and clang++ both provide, and none of GCC's quadmath
// library: the starting points need only double precision, since Newton's iteration then
// converges to the root in quadruple precision whatever the last bits of its start.
//
//   gauss_legendre_gen                  writes the header to standard output
//   gauss_legendre_gen --check FILE     exits 1 unless FILE holds exactly that text
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

using quad = __float128;

quad magnitude(quad v) {
  return v < 0 ? -v : v;
}

constexpr std::array<int, 11> kOrders = {3, 4, 5, 6, 7, 8, 9, 10, 12, 16, 32};

struct Legendre {
  quad p;  // P_N(x)
  quad dp; // P_N'(x)
};

// P_N and its derivative by the recurrence (k+1) P_{k+1} = (2k+1) x P_k - k P_{k-1}.
Legendre legendre(int n, quad x) {
  quad p0 = 1, p1 = x;
  for (int k = 1; k < n; ++k) {
    const quad p2 = ((2 * k + 1) * x * p1 - k * p0) / (k + 1);
    p0 = p1;
    p1 = p2;
  }
  return {p1, n * (x * p1 - p0) / (x * x - 1)};
}

struct Rule {
  std::vector<quad> nodes;   // positive roots of P_N, ascending
  std::vector<quad> weights; // zero-abscissa weight first (odd N), then one per node
};

Rule gauss_legendre(int n) {
  std::vector<quad> roots; // descending as found
  std::vector<quad> wts;
  for (int i = 1; i <= n / 2; ++i) {
    // Tricomi's first approximation to the i-th largest root, then Newton to convergence.
    quad x = std::cos(std::numbers::pi * (i - 0.25) / (n + 0.5));
    for (int it = 0; it < 100; ++it) {
      const Legendre l = legendre(n, x);
      const quad dx = l.p / l.dp;
      x -= dx;
      if (magnitude(dx) < static_cast<quad>(1e-33))
        break;
    }
    const Legendre l = legendre(n, x);
    roots.push_back(x);
    wts.push_back(2 / ((1 - x * x) * l.dp * l.dp));
  }
  Rule r;
  if (n % 2 == 1) {
    const Legendre l = legendre(n, 0);
    r.weights.push_back(2 / (l.dp * l.dp));
  }
  for (auto i = roots.size(); i-- > 0;) {
    r.nodes.push_back(roots[i]);
    r.weights.push_back(wts[i]);
  }
  return r;
}

std::string shortest(float v) {
  std::array<char, 32> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed);
  return std::string(buf.data(), res.ptr) + "f";
}

// Distance of q from the nearest rounding boundary between two floats, in units of the
// float spacing there: a value near 0 would make the rounding depend on the last bits.
double rounding_margin(quad q) {
  const float f = static_cast<float>(q);
  const float up = std::nextafter(f, 2.0f), dn = std::nextafter(f, -2.0f);
  const quad hi = (static_cast<quad>(f) + up) / 2, lo = (static_cast<quad>(f) + dn) / 2;
  const quad gap = static_cast<quad>(up) - static_cast<quad>(f);
  const quad d = std::min(hi - q, q - lo);
  return static_cast<double>(d / gap);
}

// One run per order: a comment line naming the order, then the values, six to a line.
void emit_floats(std::ostream &os, const char *name,
                 const std::vector<std::vector<std::string>> &runs,
                 const std::vector<std::string> &notes) {
  std::size_t count = 0;
  for (const auto &run : runs)
    count += run.size();
  os << "inline constexpr std::array<float, " << count << "> " << name << " = {\n";
  for (std::size_t r = 0; r < runs.size(); ++r) {
    os << "    // " << notes[r] << "\n";
    for (std::size_t i = 0; i < runs[r].size(); ++i)
      os << (i % 6 == 0 ? "    " : " ") << runs[r][i] << ","
         << (i % 6 == 5 || i + 1 == runs[r].size() ? "\n" : "");
  }
  os << "};\n";
}

std::string generate(double &min_margin, long double &worst_sum) {
  std::vector<std::vector<std::string>> nodes, weights;
  std::vector<std::string> node_notes, weight_notes;
  std::vector<int> inode, iwgt;
  int node_count = 0, weight_count = 0;
  min_margin = 1;
  worst_sum = 0;
  for (const int n : kOrders) {
    const Rule r = gauss_legendre(n);
    inode.push_back(node_count + 1);
    iwgt.push_back(weight_count + 1);
    node_count += static_cast<int>(r.nodes.size());
    weight_count += static_cast<int>(r.weights.size());
    quad sum = (n % 2 == 1) ? r.weights.front() : 0;
    for (std::size_t j = (n % 2 == 1) ? 1 : 0; j < r.weights.size(); ++j)
      sum += 2 * r.weights[j];
    // The weights of an N-point rule integrate 1 exactly: they sum to 2.
    worst_sum = std::max(worst_sum, static_cast<long double>(magnitude(sum - 2)));
    nodes.emplace_back();
    weights.emplace_back();
    node_notes.push_back("N = " + std::to_string(n));
    weight_notes.push_back("N = " + std::to_string(n) +
                           (n % 2 == 1 ? ", zero abscissa first" : ""));
    for (const quad &x : r.nodes) {
      nodes.back().push_back(shortest(static_cast<float>(x)));
      min_margin = std::min(min_margin, rounding_margin(x));
    }
    for (const quad &w : r.weights) {
      weights.back().push_back(shortest(static_cast<float>(w)));
      min_margin = std::min(min_margin, rounding_margin(w));
    }
  }
  std::ostringstream os;
  os << "// Gauss-Legendre abscissae and weights on [-1, 1] for the orders of NORDER, rounded to\n"
        "// single precision. GENERATED by tools/gauss_legendre_gen.cpp (Newton iteration on P_N "
        "in\n"
        "// quadruple precision); do not edit by hand. Regenerate with\n"
        "//   gauss_legendre_gen > numeric/glint_tables.hpp\n"
        "// clang-format off\n"
        "#pragma once\n\n#include <array>\n\nnamespace kelvor::numeric {\n\n"
        "// Supported numbers of points.\n"
        "inline constexpr std::array<int, 11> NORDER = {";
  for (std::size_t i = 0; i < kOrders.size(); ++i)
    os << (i ? ", " : "") << kOrders[i];
  os << "};\n\n// Position (from 1) in NODE and WEIGHT where each order's run begins.\n"
        "inline constexpr std::array<int, 11> INODE = {";
  for (std::size_t i = 0; i < inode.size(); ++i)
    os << (i ? ", " : "") << inode[i];
  os << "};\ninline constexpr std::array<int, 11> IWGT = {";
  for (std::size_t i = 0; i < iwgt.size(); ++i)
    os << (i ? ", " : "") << iwgt[i];
  os << "};\n\n// Positive abscissae of each order, ascending; the zero abscissa of an odd order "
        "is\n"
        "// implied.\n";
  emit_floats(os, "NODE", nodes, node_notes);
  os << "\n// Weights of each order: for an odd order first the weight of the zero abscissa, then\n"
        "// those of the positive abscissae in the order of NODE.\n";
  emit_floats(os, "WEIGHT", weights, weight_notes);
  os << "\n} // namespace kelvor::numeric\n// clang-format on\n";
  return os.str();
}

} // namespace

int main(int argc, char **argv) {
  double margin = 0;
  long double worst = 0;
  const std::string text = generate(margin, worst);
  std::fprintf(stderr,
               "worst |sum of weights - 2| = %Lg, closest to a rounding boundary: %.3g ulp\n",
               worst, margin);
  if (worst > 1e-30L || margin < 1e-6) {
    std::fprintf(stderr, "gauss_legendre_gen: weight sum or rounding margin out of bounds\n");
    return 2;
  }
  if (argc == 3 && std::string(argv[1]) == "--check") {
    std::ifstream in(argv[2], std::ios::binary);
    const std::string have{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (have != text) {
      std::fprintf(stderr, "%s differs from the generator's output\n", argv[2]);
      return 1;
    }
    return 0;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
