// The horn as built over numpy arrays: synthesis, optimisation (with a progress callable that may
// stop it), the DXF drawing, the GRASP cuts and the dish. Lengths in metres, frequencies in GHz,
// failures as integer codes (asbuilt_failure_names gives their meaning); the pure-Python
// kelvor.asbuilt shapes the results. Computation runs with the GIL released; the progress callable
// takes it back, and Control-C stops an optimisation at its next evaluation.
#include <pybind11/functional.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstddef>
#include <exception>
#include <string>
#include <vector>

#include "asbuilt/dish.hpp"
#include "asbuilt/dxf.hpp"
#include "asbuilt/grasp_cut.hpp"
#include "asbuilt/optimise.hpp"
#include "asbuilt/synthesis.hpp"
#include "profile_array.hpp"

namespace py = pybind11;
using namespace kelvor::asbuilt;

namespace {

using Array = py::array_t<double, py::array::c_style | py::array::forcecast>;

// An n x k array of values(i, column).
template <class Value> Array table(std::size_t n, std::size_t k, Value value) {
  Array out({static_cast<py::ssize_t>(n), static_cast<py::ssize_t>(k)});
  double *p = out.mutable_data();
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < k; ++j)
      p[i * k + j] = value(i, j);
  return out;
}

// The n x 4 corrugation array (inner radius, depth, slot width, tooth width) and the input guide.
CorrugatedHorn horn_of(double input_radius_m, double input_length_m, const Array &corrugations) {
  if (corrugations.ndim() != 2 || corrugations.shape(1) != 4)
    throw py::value_error("corrugations must be an n x 4 array");
  CorrugatedHorn h{input_radius_m, input_length_m, {}};
  const double *p = corrugations.data();
  for (py::ssize_t i = 0; i < corrugations.shape(0); ++i)
    h.corrugations.push_back({p[4 * i], p[4 * i + 1], p[4 * i + 2], p[4 * i + 3]});
  return h;
}

Array corrugation_table(const CorrugatedHorn &h) {
  return table(h.corrugations.size(), 4, [&](std::size_t i, std::size_t j) {
    const Corrugation &c = h.corrugations[i];
    return j == 0   ? c.inner_radius_m
           : j == 1 ? c.depth_m
           : j == 2 ? c.slot_width_m
                    : c.tooth_width_m;
  });
}

py::dict horn_dict(const CorrugatedHorn &h) {
  const kelvor::modal::Profile p = profile(h);
  const std::vector<Slot> slots = slot_table(h);
  py::dict d;
  d["input_radius_m"] = h.input_radius_m;
  d["input_length_m"] = h.input_length_m;
  d["corrugations"] = corrugation_table(h);
  d["sections"] = table(p.size(), 2, [&](std::size_t i, std::size_t j) {
    return j == 0 ? p[i].length_m : p[i].radius_m;
  });
  d["slots"] = table(slots.size(), 4, [&](std::size_t i, std::size_t j) {
    const Slot &s = slots[i];
    return j == 0 ? s.z_m : j == 1 ? s.inner_radius_m : j == 2 ? s.depth_m : s.width_m;
  });
  return d;
}

py::dict synthesis_dict(const Synthesis &s) {
  py::dict d = horn_dict(s.horn);
  d["design_freq_ghz"] = s.design_freq_ghz;
  d["output_freq_ghz"] = s.output_freq_ghz;
  d["aperture_radius_m"] = s.aperture_radius_m;
  d["slant_radius_m"] = s.slant_radius_m;
  d["flare_half_angle_deg"] = s.flare_half_angle_deg;
  d["pitch_m"] = s.pitch_m;
  d["converter_slots"] = s.converter_slots;
  d["failure"] = static_cast<int>(s.failure);
  return d;
}

// entry: "cone" (a, R), "beam" (beamwidth, level), "dish" (f/D, taper); S for the last two.
py::dict synthesise_any(const std::string &entry, double f_min, double f_max, double x, double y,
                        double phase_deviation, const SynthesisRules &rules) {
  const Band band{f_min, f_max};
  Synthesis s;
  if (entry == "cone")
    s = synthesise(band, x, y, rules);
  else if (entry == "beam")
    s = synthesise_for_beam(band, x, y, phase_deviation, rules);
  else if (entry == "dish")
    s = synthesise_for_dish(band, x, y, phase_deviation, rules);
  else
    throw py::value_error("entry must be cone, beam or dish");
  return synthesis_dict(s);
}

py::tuple figures(const BandFigures &f) {
  return py::make_tuple(f.worst_s11_db, f.worst_xpol_db, static_cast<int>(f.failure));
}

py::dict optimise_horn(double input_radius_m, double input_length_m, const Array &corrugations,
                       const Array &freq_ghz, const OptimiseOptions &options,
                       const py::object &progress) {
  const CorrugatedHorn start = horn_of(input_radius_m, input_length_m, corrugations);
  const std::vector<double> freqs(freq_ghz.data(), freq_ghz.data() + freq_ghz.size());
  OptimiseOptions o = options;
  std::exception_ptr raised;
  o.progress = [&](const Iteration &i) {
    py::gil_scoped_acquire locked;
    try {
      if (PyErr_CheckSignals() != 0)
        throw py::error_already_set();
      return progress.is_none() ||
             py::cast<bool>(progress(i.evaluation, figures(i.figures), figures(i.best)));
    } catch (...) {
      raised = std::current_exception();
      return false;
    }
  };
  Optimised r;
  {
    py::gil_scoped_release unlocked;
    r = optimise(
        start, [&](const kelvor::modal::Profile &p) { return band_figures(p, freqs); }, o);
  }
  if (raised)
    std::rethrow_exception(raised);
  py::dict d = horn_dict(r.horn);
  d["start"] = figures(r.start);
  d["best"] = figures(r.best);
  d["evaluations"] = r.evaluations;
  d["seconds"] = r.seconds;
  d["targets_met"] = r.targets_met;
  d["failure"] = static_cast<int>(r.failure);
  return d;
}

py::dict analyse_band(const Array &sections, const Array &freq_ghz) {
  const kelvor::modal::Profile p = profile_of(sections);
  const std::vector<double> freqs(freq_ghz.data(), freq_ghz.data() + freq_ghz.size());
  std::vector<FrequencyFigures> r;
  {
    py::gil_scoped_release unlocked;
    r = frequency_figures(p, freqs);
  }
  const auto column = [&](auto member) {
    std::vector<double> values;
    for (const auto &one : r)
      values.push_back(one.*member);
    return values;
  };
  py::dict d;
  d["s11_db"] = column(&FrequencyFigures::s11_db);
  d["xpol_peak_db"] = column(&FrequencyFigures::xpol_peak_db);
  d["directivity_dbi"] = column(&FrequencyFigures::directivity_dbi);
  std::vector<int> failure;
  for (const auto &one : r)
    failure.push_back(static_cast<int>(one.failure));
  d["failure"] = failure;
  return d;
}

// The GRASP cut file of the profile's far field at freq_ghz; empty when there is none.
std::string cut_file(const Array &sections, double freq_ghz, double step_deg,
                     const std::string &title) {
  const kelvor::modal::Profile p = profile_of(sections);
  py::gil_scoped_release unlocked;
  const kelvor::modal::FrequencyResult r = kelvor::modal::analyse(p, freq_ghz);
  if (r.failure != kelvor::modal::Failure::none)
    return {};
  return grasp_cut_file(aperture_cuts(r.aperture, step_deg, title));
}

// The dish fed by the profile at freq_ghz, at its best feed position.
py::dict dish(const Array &sections, double freq_ghz, double f_over_d) {
  const kelvor::modal::Profile p = profile_of(sections);
  kelvor::feed::DishEfficiency e;
  {
    py::gil_scoped_release unlocked;
    e = profile_on_dish(p, freq_ghz, f_over_d);
  }
  py::dict d;
  d["spillover"] = e.efficiency.spillover;
  d["illumination"] = e.efficiency.illumination;
  d["phase"] = e.efficiency.phase;
  d["polarisation"] = e.efficiency.polarisation;
  d["aperture_efficiency"] = e.efficiency.aperture;
  d["feed_position_m"] = e.feed_position_m;
  d["edge_illumination_db"] = e.edge_illumination_db;
  d["failure"] = kelvor::feed::describe(e.failure);
  return d;
}

py::list failure_names() {
  py::list names;
  for (int i = 0; i <= static_cast<int>(Failure::cancelled); ++i)
    names.append(describe(static_cast<Failure>(i)));
  return names;
}

} // namespace

void bind_asbuilt(py::module_ &m) {
  py::class_<SynthesisRules>(m, "SynthesisRules")
      .def(py::init<>())
      .def_readwrite("pitch_wavelengths", &SynthesisRules::pitch_wavelengths)
      .def_readwrite("slot_to_pitch", &SynthesisRules::slot_to_pitch)
      .def_readwrite("converter_slots", &SynthesisRules::converter_slots)
      .def_readwrite("first_slot_depth_wavelengths", &SynthesisRules::first_slot_depth_wavelengths)
      .def_readwrite("input_kca", &SynthesisRules::input_kca)
      .def_readwrite("min_tooth_m", &SynthesisRules::min_tooth_m)
      .def_readwrite("min_slot_m", &SynthesisRules::min_slot_m)
      .def_readwrite("min_depth_m", &SynthesisRules::min_depth_m);
  py::class_<OptimiseOptions>(m, "OptimiseOptions")
      .def(py::init<>())
      .def_readwrite("s11_target_db", &OptimiseOptions::s11_target_db)
      .def_readwrite("xpol_target_db", &OptimiseOptions::xpol_target_db)
      .def_readwrite("converter_slots", &OptimiseOptions::converter_slots)
      .def_readwrite("flare_slots", &OptimiseOptions::flare_slots)
      .def_readwrite("vary_widths", &OptimiseOptions::vary_widths)
      .def_readwrite("max_evaluations", &OptimiseOptions::max_evaluations)
      .def_readwrite("max_seconds", &OptimiseOptions::max_seconds)
      .def_readwrite("rules", &OptimiseOptions::rules);
  // The optimiser's frequency counts, its default and its bound, for the faces to read.
  m.attr("ASBUILT_OPTIMISE_FREQUENCIES") = kOptimiseFrequencies;
  m.attr("ASBUILT_MAX_OPTIMISE_FREQUENCIES") = static_cast<int>(kMaxOptimiseFrequencies);
  m.def("asbuilt_synthesise", &synthesise_any);
  m.def("asbuilt_optimise", &optimise_horn);
  m.def("asbuilt_band_frequencies", [](double f_min, double f_max, std::size_t count) {
    return band_frequencies({f_min, f_max}, count);
  });
  m.def("asbuilt_dxf",
        [](const Array &sections) { return half_section_dxf(profile_of(sections)); });
  m.def("asbuilt_analyse_band", &analyse_band);
  m.def("asbuilt_cut", &cut_file);
  m.def("asbuilt_dish", &dish);
  m.def("asbuilt_failure_names", &failure_names);
}
