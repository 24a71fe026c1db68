// A section list from Python, an n x 2 float64 array of (length, radius) rows in metres, as the
// engine's profile; the values themselves are the engine's to check (modal::check_profile).
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include "modal/profile.hpp"

using SectionArray =
    pybind11::array_t<double, pybind11::array::c_style | pybind11::array::forcecast>;

inline kelvor::modal::Profile profile_of(const SectionArray &sections) {
  if (sections.ndim() != 2 || sections.shape(1) != 2)
    throw pybind11::value_error("sections must be an n x 2 array");
  kelvor::modal::Profile profile;
  const double *v = sections.data();
  for (pybind11::ssize_t i = 0; i < sections.shape(0); ++i)
    profile.push_back({v[2 * i], v[2 * i + 1]});
  return profile;
}
