// The model-true feed path over numpy arrays: float64 in, float64 out, lengths in metres,
// angles in degrees, failures and validity flags as integer codes (model_failure_names and
// model_validity_names give their meaning). The pure-Python kelvor.model converts units and
// shapes the results; the computation runs with the GIL released. The dish's geometry, the
// model's validity and its work limits are the C++ library's, never restated in Python.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "feed/beamwidth.hpp"
#include "feed/design.hpp"
#include "feed/dish_design.hpp"
#include "feed/dish_geometry.hpp"
#include "feed/phase_centre.hpp"
#include "feed/validity.hpp"

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

// feed_position_m None (or NaN, the older spelling) puts the feed at each frequency's optimum.
py::dict dish(double a_m, double R_m, const Array &freq_ghz, double f_over_d,
              std::optional<double> feed_position_m) {
  const auto f = view(freq_ghz);
  if (feed_position_m && std::isnan(*feed_position_m))
    feed_position_m.reset();
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
  d["validity"] = column<int>(n, [&](std::size_t i) { return int(r[i].validity); });
  d["optimum_on_bound"] = column<bool>(n, [&](std::size_t i) { return r[i].optimum_on_bound; });
  return d;
}

// reference_freq_ghz None: the middle of the band (the library's default).
py::dict design_dish(double f_over_d, const Array &freq_ghz,
                     std::optional<double> reference_freq_ghz, const Array &S) {
  const auto f = view(freq_ghz);
  const auto s = view(S);
  const DishRequest request{f_over_d, f, reference_freq_ghz};
  DishDesign r;
  {
    py::gil_scoped_release unlocked;
    r = design_for_dish(request, s);
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
  d["validity"] = column<int>(n, [&](std::size_t i) { return int(rows[i].validity); });
  d["optimum_on_bound"] = column<bool>(n, [&](std::size_t i) { return rows[i].optimum_on_bound; });
  d["best"] = r.best ? py::object(py::int_(*r.best)) : py::object(py::none());
  d["reference_freq_ghz"] = kelvor::feed::reference_freq_ghz(request);
  return d;
}

py::dict design_edge(double freq_ghz, double f_over_d, double edge_illumination_db,
                     const Array &S) {
  const auto s = view(S);
  const auto r = compute<HornDesign>(s.size(), [&](std::size_t i) {
    return design_for_edge_illumination(freq_ghz, f_over_d, edge_illumination_db, s[i]);
  });
  const auto n = r.size();
  py::dict d;
  d["aperture_radius_m"] = column<double>(n, [&](std::size_t i) { return r[i].aperture_radius_m; });
  d["slant_radius_m"] = column<double>(n, [&](std::size_t i) { return r[i].slant_radius_m; });
  d["aperture_radius_wavelengths"] =
      column<double>(n, [&](std::size_t i) { return r[i].aperture_radius_wavelengths; });
  d["real_cone"] = column<bool>(n, [&](std::size_t i) { return r[i].real_cone; });
  d["failure"] = column<int>(n, [&](std::size_t i) { return int(r[i].failure); });
  d["validity"] = column<int>(n, [&](std::size_t i) { return int(r[i].validity); });
  return d;
}

py::dict geometry(double f_over_d) {
  const DishGeometry g = dish_geometry(f_over_d);
  py::dict d;
  d["half_angle_deg"] = g.half_angle_deg;
  d["space_attenuation_db"] = g.space_attenuation_db;
  d["failure"] = int(g.failure);
  return d;
}

py::dict feed_level(double f_over_d, double edge_illumination_db) {
  const FeedLevel level = feed_level_for_edge(f_over_d, edge_illumination_db);
  py::dict d;
  d["level_db"] = level.level_db;
  d["failure"] = int(level.failure);
  return d;
}

// The validity of horns (a_m, R_m) at freq_ghz, elementwise with numpy broadcasting.
py::object validity(const Array &a_m, const Array &R_m, const Array &freq_ghz) {
  return py::vectorize([](double a, double R, double f) {
    return int(model_validity(Horn{a, R}, f));
  })(a_m, R_m, freq_ghz);
}

template <std::size_t N> py::list names(const std::array<const char *, N> &table) {
  py::list out;
  for (const char *name : table)
    out.append(name);
  return out;
}

py::dict limits() {
  py::dict d;
  d["max_aperture_turn"] = kMaxApertureTurn;
  d["max_phase_deviation"] = kMaxPhaseDeviation;
  d["max_beamwidth_level_db"] = kMaxBeamwidthLevelDb;
  d["max_dish_rows"] = kMaxDishRows;
  d["max_dish_design_work"] = kMaxDishDesignWork;
  d["cutoff_ka"] = kCutoffKa;
  d["min_hybrid_ka"] = kMinHybridKa;
  d["min_hybrid_beta_over_k"] = kMinHybridBetaOverK;
  d["max_rim_phase_excess_cycles"] = kMaxRimPhaseExcess;
  return d;
}

} // namespace

void bind_model(py::module_ &m) {
  m.def("model_pattern", &pattern);
  m.def("model_beamwidth", &beamwidth);
  m.def("model_design", &design);
  m.def("model_phase_centre", &phase_centres);
  m.def("model_dish", &dish, py::arg("a_m"), py::arg("R_m"), py::arg("freq_ghz"),
        py::arg("f_over_d"), py::arg("feed_position_m") = py::none());
  m.def("model_design_for_dish", &design_dish);
  m.def("model_design_for_edge", &design_edge);
  m.def("model_dish_geometry", &geometry);
  m.def("model_feed_level", &feed_level);
  m.def("model_validity", &validity);
  m.def("model_failure_names", [] { return names(kFailureNames); });
  m.def("model_validity_names", [] { return names(kValidityNames); });
  m.def("model_limits", &limits);
}
