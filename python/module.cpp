// The compiled half of the Python module: the row layer over numpy arrays. The
// pure-Python package checks the arguments and shapes the results; this module
// takes checked single-precision arrays and computes the rows with the GIL
// released, on every core, a chunk at a time so that Control-C is seen.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "chunked.hpp"
#include "rows/batch.hpp"
#include "rows/row_count.hpp"

namespace py = pybind11;
using namespace kelvor::rows;

// The model-true feed path (feed_bindings.cpp).
void bind_model(py::module_ &m);
// The horn as built (asbuilt_bindings.cpp).
void bind_asbuilt(py::module_ &m);
// The mode-matching engine (modal_bindings.cpp).
void bind_modal(py::module_ &m);

namespace {

using FloatArray = py::array_t<float, py::array::c_style | py::array::forcecast>;

std::span<const float> view(const FloatArray &a) {
  return {a.data(), static_cast<std::size_t>(a.size())};
}

// Chunks grow from kFirstChunk rows while one takes less than kChunkTime, so
// that a pending Control-C is seen within a few tens of milliseconds whatever a
// row costs.
constexpr std::size_t kFirstChunk = 16;
constexpr std::chrono::milliseconds kChunkTime{20};

// The values of `in` through `rows` into an n x K float32 array whose row i is
// values(row for in[i]), a chunk at a time (chunked.hpp).
template <class Row, std::size_t K, class Compute, class Values>
py::array_t<float> rows_of(const FloatArray &in, Compute rows, Values values) {
  const std::span<const float> all = view(in);
  py::array_t<float> out({static_cast<py::ssize_t>(all.size()), static_cast<py::ssize_t>(K)});
  float *dst = out.mutable_data();
  std::vector<Row> buffer;
  in_chunks(all.size(), kFirstChunk, kChunkTime, [&](std::size_t begin, std::size_t n) {
    buffer.resize(n);
    if (!rows(all.subspan(begin, n), std::span<Row>(buffer)))
      throw std::length_error("kelvor: the rows were refused for their length");
    for (std::size_t i = 0; i < n; ++i) {
      const std::array<float, K> v = values(buffer[i]);
      std::copy(v.begin(), v.end(), dst + (begin + i) * K);
    }
  });
  return out;
}

py::array_t<float> sweep_values(float start, float stop, float step) {
  // The values are laid out in memory, four bytes each here and eight more in the float64 copy
  // Python hands on, and every table built on them holds several columns more: a range is
  // refused up front beyond 10^8 rows (1.2 GB for the values alone), well inside the 32-bit row
  // count of the dialogue and before a machine would run out of memory instead of answering.
  constexpr double max_rows = 1e8;
  const double count = row_count_real(start, stop, step);
  if (count > max_rows)
    throw py::value_error("has " + py::repr(py::int_(py::float_(count))).cast<std::string>() +
                          " rows, more than the 100000000 a table is built with");
  const std::vector<float> values = sweep(start, stop, step);
  py::array_t<float> out(static_cast<py::ssize_t>(values.size()));
  std::copy(values.begin(), values.end(), out.mutable_data());
  return out;
}

py::array_t<float> design(float FREQ, float BWUSR, float LEVUSR, std::int32_t KLEV,
                          std::int32_t IUNIT, const FloatArray &PHDEV) {
  const DesignRequest request{FREQ, BWUSR, column_levels(LEVUSR, KLEV), IUNIT};
  return rows_of<DesignRow, 5>(
      PHDEV,
      [&](std::span<const float> in, std::span<DesignRow> out) {
        return design_rows(request, in, out);
      },
      [](const DesignRow &r) { return r.printed; });
}

py::array_t<float> response(float aperture, float slant, float LEVUSR, std::int32_t KLEV,
                            std::int32_t IUNIT, const FloatArray &FRESP) {
  const ResponseRequest request{to_inches(aperture, IUNIT), to_inches(slant, IUNIT),
                                column_levels(LEVUSR, KLEV), IUNIT};
  return rows_of<ResponseRow, 7>(
      FRESP,
      [&](std::span<const float> in, std::span<ResponseRow> out) {
        return response_rows(request, in, out);
      },
      [](const ResponseRow &r) { return r.printed; });
}

py::array_t<float> pattern(float aperture, float slant, float FREQ, std::int32_t IUNIT,
                           bool obliquity, const FloatArray &THETA) {
  const PatternRequest request{FREQ, to_inches(aperture, IUNIT), to_inches(slant, IUNIT),
                               obliquity};
  return rows_of<PatternPoint, 3>(
      THETA,
      [&](std::span<const float> in, std::span<PatternPoint> out) {
        return pattern_cut(request, in, out);
      },
      [](const PatternPoint &p) {
        return std::array<float, 3>{p.THETA, p.LEVEL, p.PHASE};
      });
}

py::tuple column_level_values(float LEVUSR, std::int32_t KLEV) {
  const Levels levels = column_levels(LEVUSR, KLEV);
  return py::make_tuple(levels.LEVCOL[0], levels.LEVCOL[1], levels.LEVCOL[2], levels.LEVCOL[3]);
}

} // namespace

PYBIND11_MODULE(_kelvor, m) {
  m.doc() = "KELVOR row layer over float32 arrays (use the kelvor package)";
  m.attr("__version__") = KELVOR_VERSION;
  m.attr("NOMINAL_LEVELS") = py::make_tuple(LEVNOM[0], LEVNOM[1], LEVNOM[2], LEVNOM[3]);
  m.attr("CENTIMETRES") = CENTIMETRES;
  m.attr("INCHES") = INCHES;
  m.def("nominal_level_index", &nominal_level_index);
  m.def("column_levels", &column_level_values);
  m.def("wavelength",
        [](float FREQ, std::int32_t IUNIT) { return from_inches(wavelength(FREQ), IUNIT); });
  m.def("sweep", &sweep_values);
  m.def("design", &design);
  m.def("response", &response);
  m.def("pattern", &pattern);
  bind_model(m);
  bind_asbuilt(m);
  bind_modal(m);
}
