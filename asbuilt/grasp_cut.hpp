// The far field in TICRA's GRASP cut-file format, which reflector-analysis programs read, and a
// reader of the same format.
//
// The format (TICRA, "GRASP Technical Description", the field-data file "Cut" definition): a file
// is a sequence of cuts; each cut is
//   a line of text (identification),
//   a line  V_INI V_INC V_NUM C ICOMP ICUT NCOMP,
//   V_NUM lines, each the NCOMP field components as pairs  Re(F1) Im(F1) Re(F2) Im(F2) ...
// For ICUT = 1 (a polar cut) the variable is theta from V_INI in steps of V_INC (degrees) at the
// constant phi = C (degrees); ICOMP = 3 gives the components as linear co- and cross-polarisation
// after Ludwig's third definition (F1 co, F2 cross), the reference polarisation along x. The
// writer writes those (ICOMP = 3, ICUT = 1, NCOMP = 2); the reader takes any ICOMP and ICUT and
// NCOMP of 2 or 3. Fields are written as given (this library: normalised so that |co|^2 + |cross|^2
// is the directivity, linear), each number with 17 significant digits, so a file read back gives
// the same numbers bit for bit (grasp_cut_test).
#pragma once

#include <complex>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "modal/radiation.hpp"

namespace kelvor::asbuilt {

struct GraspCut {
  std::string text;                             // the identification line (no line break)
  double v_ini_deg = 0;                         // first theta
  double v_inc_deg = 0;                         // theta step
  double c_deg = 0;                             // phi of the cut
  int icomp = 3;                                // 3: Ludwig 3 co and cross
  int icut = 1;                                 // 1: polar cut at constant phi
  std::vector<std::complex<double>> f1, f2, f3; // one value per theta; f3 empty when NCOMP = 2
};

// The cut file of the cuts (lines ended by LF). An empty string when a cut has no values, f1 and f2
// (and f3, when given) differ in length, a line break is in its text or a number is not finite.
std::string grasp_cut_file(const std::vector<GraspCut> &cuts);

enum class CutError {
  none,       // every cut was read
  bad_header, // a header line is not seven numbers with V_NUM >= 1 and NCOMP 2 or 3
  bad_values, // a value line is not 2 NCOMP finite numbers, or the file ends inside a cut
  too_large,  // more values in all than the reader's limit (kMaxCutValues by default)
  empty,      // no cut at all
};

inline constexpr std::size_t kMaxCutValues = 10000000;

struct CutFile {
  std::vector<GraspCut> cuts;
  CutError error = CutError::none;
};

// The cuts of the text, at most max_values values in all (too_large beyond).
CutFile read_grasp_cut_file(std::string_view text, std::size_t max_values = kMaxCutValues);

// The E-, 45-degree and H-plane cuts of a radiation summary as GRASP cuts (ICOMP 3, ICUT 1), each
// identified by `title` and its phi. Empty when the summary failed or its angles are fewer than two
// or not evenly spaced (to 1e-9 degrees).
std::vector<GraspCut> grasp_cuts(const modal::RadiationSummary &summary, std::string_view title);

// The cuts of a mode-matched aperture (modal::radiate) at theta = 0, step_deg, ... up to 180
// degrees, phase referred to the centre of the aperture plane (the feed's coordinate origin in the
// reflector program). Empty when the aperture is refused or step_deg is not in [0.01, 90].
std::vector<GraspCut> aperture_cuts(const modal::ApertureField &aperture, double step_deg,
                                    std::string_view title);

} // namespace kelvor::asbuilt
