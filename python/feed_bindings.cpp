// The model-true feed path over numpy arrays: float64 in, float64 out, lengths in metres,
// angles in degrees, failures as integer codes (failure_names gives their meaning). The pure-
// Python kelvor.model converts units and shapes the results; the computation runs with the GIL
// released.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstddef>
#include <span>
#include <vector>

#include "feed/beamwidth.hpp"
#include "feed/design.hpp"
#include "feed/dish_design.hpp"
#include "feed/phase_centre.hpp"

namespace py = pybind11;
using namespace kelvor::feed;

namespace {

using Array = py::array_t<double, py::array::c_style | py::array::forcecast>;
using Codes = py::array_t<int>;

std::span<const double> view(const Array &a) {
  return {a.data(), static_cast<std::size_t>(a.size())};
}

// n values of field(i) as a new array.
template <class T, class Field> py::array_t<T> column(std::size_t n, Field field) {
  py::array_t<T> out(static_cast<py::ssize_t>(n));
  T *p = out.mutable_data();
  for (std::size_t i = 0; i < n; ++i)
    p[i] = static_cast<T>(field(i));
  return out;
}

template <class Result> std::vector<Result> compute(std::size_t n, auto one) {
  std::vector<Result> out(n);
  py::gil_scoped_release unlocked;
  for (std::size_t i = 0; i < n; ++i)
    out[i] = one(i);
  return out;
}

py::tuple pattern(double a_m, double R_m, double freq_ghz, const Array &theta_deg,
                  double reference_m) {
  const auto theta = view(theta_deg);
  std::vector<std::complex<double>> f(theta.size());
  Failure failure = Failure::none;
  {
    py::gil_scoped_release unlocked;
    const HornPattern p({a_m, R_m}, freq_ghz);
    failure = p.failure();
    for (std::size_t i = 0; i < theta.size(); ++i)
      f[i] = p.field(theta[i] * kDegree, reference_m);
  }
  return py::make_tuple(column<double>(f.size(), [&](std::size_t i) { return f[i].real(); }),
                        column<double>(f.size(), [&](std::size_t i) { return f[i].imag(); }),
                        static_cast<int>(failure));
}

py::tuple beamwidth(double a_m, double R_m, const Array &freq_ghz, double level_db) {
  const auto f = view(freq_ghz);
  const auto r = compute<Beamwidth>(f.size(), [&](std::size_t i) {
    return pattern_beamwidth({a_m, R_m}, f[i], level_db);
  });
  return py::make_tuple(
      column<double>(r.size(), [&](std::size_t i) { return r[i].full_width_deg; }),
      column<int>(r.size(), [&](std::size_t i) { return int(r[i].failure); }));
}

py::tuple design(double freq_ghz, double bw_deg, double level_db, const Array &S) {
  const auto s = view(S);
  const auto r = compute<HornDesign>(
      s.size(), [&](std::size_t i) { return design_horn(freq_ghz, bw_deg, level_db, s[i]); });
  const auto n = r.size();
  return py::make_tuple(
      column<double>(n, [&](std::size_t i) { return r[i].aperture_radius_m; }),
      column<double>(n, [&](std::size_t i) { return r[i].slant_radius_m; }),
      column<double>(n, [&](std::size_t i) { return r[i].aperture_radius_wavelengths; }),
      column<bool>(n, [&](std::size_t i) { return r[i].real_cone; }),
      column<int>(n, [&](std::size_t i) { return int(r[i].failure); }));
}

py::tuple phase_centres(double a_m, double R_m, const Array &freq_ghz, double edge_deg) {
  const auto f = view(freq_ghz);
  const auto r = compute<PhaseCentre>(f.size(), [&](std::size_t i) {
    return phase_centre({a_m, R_m}, f[i], edge_deg * kDegree);
  });
  const auto n = r.size();
  return py::make_tuple(column<double>(n, [&](std::size_t i) { return r[i].axis_to_edge_m; }),
                        column<double>(n, [&](std::size_t i) { return r[i].fitted_m; }),
                        column<int>(n, [&](std::size_t i) { return int(r[i].failure); }));
}

py::dict dish(double a_m, double R_m, const Array &freq_ghz, double f_over_d,
              double feed_position_m) {
  const auto f = view(freq_ghz);
  std::vector<DishEfficiency> r;
  {
    py::gil_scoped_release unlocked;
    r = dish_band({a_m, R_m}, f, f_over_d, feed_position_m);
  }
  const auto n = r.size();
  const auto eff = [&](auto member) {
    return column<double>(n, [&](std::size_t i) { return r[i].efficiency.*member; });
  };
  py::dict d;
  d["spillover"] = eff(&Efficiencies::spillover);
  d["illumination"] = eff(&Efficiencies::illumination);
  d["phase"] = eff(&Efficiencies::phase);
  d["polarisation"] = eff(&Efficiencies::polarisation);
  d["aperture_efficiency"] = eff(&Efficiencies::aperture);
  d["feed_position_m"] = column<double>(n, [&](std::size_t i) { return r[i].feed_position_m; });
  d["half_angle_deg"] = column<double>(n, [&](std::size_t i) { return r[i].half_angle_deg; });
  d["feed_edge_level_db"] =
      column<double>(n, [&](std::size_t i) { return r[i].feed_edge_level_db; });
  d["space_attenuation_db"] =
      column<double>(n, [&](std::size_t i) { return r[i].space_attenuation_db; });
  d["edge_illumination_db"] =
      column<double>(n, [&](std::size_t i) { return r[i].edge_illumination_db; });
  d["failure"] = column<int>(n, [&](std::size_t i) { return int(r[i].failure); });
  return d;
}

py::dict design_dish(double f_over_d, const Array &freq_ghz, double reference_freq_ghz,
                     const Array &S) {
  const auto f = view(freq_ghz);
  const auto s = view(S);
  DishDesign r;
  {
    py::gil_scoped_release unlocked;
    r = design_for_dish({f_over_d, f, reference_freq_ghz}, s);
  }
  const auto &rows = r.rows;
  const auto n = rows.size();
  py::dict d;
  d["aperture_radius_m"] =
      column<double>(n, [&](std::size_t i) { return rows[i].aperture_radius_m; });
  d["slant_radius_m"] = column<double>(n, [&](std::size_t i) { return rows[i].slant_radius_m; });
  d["feed_position_m"] = column<double>(n, [&](std::size_t i) { return rows[i].feed_position_m; });
  d["aperture_efficiency"] =
      column<double>(n, [&](std::size_t i) { return rows[i].aperture_efficiency; });
  d["real_cone"] = column<bool>(n, [&](std::size_t i) { return rows[i].real_cone; });
  d["failure"] = column<int>(n, [&](std::size_t i) { return int(rows[i].failure); });
  d["best"] = r.best < n ? py::object(py::int_(r.best)) : py::object(py::none());
  return d;
}

py::list failure_names() {
  py::list names;
  for (int i = 0; i <= static_cast<int>(Failure::null_on_axis); ++i)
    names.append(describe(static_cast<Failure>(i)));
  return names;
}

} // namespace

void bind_model(py::module_ &m) {
  m.def("model_pattern", &pattern);
  m.def("model_beamwidth", &beamwidth);
  m.def("model_design", &design);
  m.def("model_phase_centre", &phase_centres);
  m.def("model_dish", &dish);
  m.def("model_design_for_dish", &design_dish);
  m.def("model_failure_names", &failure_names);
}
