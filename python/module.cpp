// The compiled half of the Python module: the row layer over numpy arrays. The
// pure-Python package checks the arguments and shapes the results; this module
// takes checked single-precision arrays and computes the rows with the GIL
// released, on every core.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <span>
#include <tuple>
#include <vector>

#include "rows/batch.hpp"

namespace py = pybind11;
using namespace kelvor::rows;

// The model-true feed path (feed_bindings.cpp).
void bind_model(py::module_ &m);

namespace {

using FloatArray = py::array_t<float, py::array::c_style | py::array::forcecast>;

std::span<const float> view(const FloatArray &a) {
  return {a.data(), static_cast<std::size_t>(a.size())};
}

FloatArray new_array(std::size_t n) {
  return FloatArray(static_cast<py::ssize_t>(n));
}

// Column `field` of a vector of rows as a new array.
template <class Row, class Field> FloatArray column(const std::vector<Row> &rows, Field field) {
  FloatArray out = new_array(rows.size());
  float *p = out.mutable_data();
  for (std::size_t i = 0; i < rows.size(); ++i)
    p[i] = field(rows[i]);
  return out;
}

// The rows for the values of `in`, computed with the GIL released: the
// computation touches no Python object, and other Python threads run meanwhile.
template <class Row, class Compute> std::vector<Row> compute(const FloatArray &in, Compute rows) {
  const std::span<const float> values = view(in);
  std::vector<Row> out(values.size());
  py::gil_scoped_release unlocked;
  rows(values, std::span<Row>(out));
  return out;
}

FloatArray sweep_values(float start, float stop, float step) {
  const std::vector<float> values = sweep(start, stop, step);
  FloatArray out = new_array(values.size());
  std::copy(values.begin(), values.end(), out.mutable_data());
  return out;
}

py::tuple design(float FREQ, float BWUSR, float LEVUSR, std::int32_t KLEV, std::int32_t IUNIT,
                 const FloatArray &PHDEV) {
  const DesignRequest request{FREQ, BWUSR, column_levels(LEVUSR, KLEV), IUNIT};
  const auto rows =
      compute<DesignRow>(PHDEV, [&](std::span<const float> in, std::span<DesignRow> out) {
        design_rows(request, in, out);
      });
  return py::make_tuple(column(rows, [](const DesignRow &r) { return r.printed[0]; }),
                        column(rows, [](const DesignRow &r) { return r.printed[1]; }),
                        column(rows, [](const DesignRow &r) { return r.printed[2]; }),
                        column(rows, [](const DesignRow &r) { return r.printed[3]; }),
                        column(rows, [](const DesignRow &r) { return r.printed[4]; }));
}

py::tuple response(float aperture, float slant, float LEVUSR, std::int32_t KLEV, std::int32_t IUNIT,
                   const FloatArray &FRESP) {
  const ResponseRequest request{to_inches(aperture, IUNIT), to_inches(slant, IUNIT),
                                column_levels(LEVUSR, KLEV), IUNIT};
  const auto rows =
      compute<ResponseRow>(FRESP, [&](std::span<const float> in, std::span<ResponseRow> out) {
        response_rows(request, in, out);
      });
  FloatArray levels = new_array(4);
  std::copy(request.levels.LEVCOL.begin(), request.levels.LEVCOL.end(), levels.mutable_data());
  py::array_t<float> beamwidths({static_cast<py::ssize_t>(rows.size()), py::ssize_t{4}});
  auto bw = beamwidths.mutable_unchecked<2>();
  for (std::size_t i = 0; i < rows.size(); ++i)
    for (std::size_t j = 0; j < 4; ++j)
      bw(static_cast<py::ssize_t>(i), static_cast<py::ssize_t>(j)) = rows[i].printed[j + 1];
  return py::make_tuple(column(rows, [](const ResponseRow &r) { return r.printed[0]; }), levels,
                        beamwidths, column(rows, [](const ResponseRow &r) { return r.printed[5]; }),
                        column(rows, [](const ResponseRow &r) { return r.printed[6]; }));
}

py::tuple pattern(float FREQ, float aperture, float slant, std::int32_t IUNIT, bool obliquity,
                  const FloatArray &THETA) {
  const PatternRequest request{FREQ, to_inches(aperture, IUNIT), to_inches(slant, IUNIT),
                               obliquity};
  const auto points =
      compute<PatternPoint>(THETA, [&](std::span<const float> in, std::span<PatternPoint> out) {
        pattern_cut(request, in, out);
      });
  return py::make_tuple(column(points, [](const PatternPoint &p) { return p.THETA; }),
                        column(points, [](const PatternPoint &p) { return p.LEVEL; }),
                        column(points, [](const PatternPoint &p) { return p.PHASE; }));
}

} // namespace

PYBIND11_MODULE(_kelvor, m) {
  m.doc() = "KELVOR row layer over float32 arrays (use the kelvor package)";
  m.def("sweep", &sweep_values);
  m.def("design", &design);
  m.def("response", &response);
  m.def("pattern", &pattern);
  bind_model(m);
}
