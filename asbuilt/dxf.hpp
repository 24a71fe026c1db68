// The horn's half-section as a drawing a workshop's CAD reads: one closed polyline in millimetres
// in the minimal ASCII DXF of AutoCAD Release 12 (AC1009), and the reader of that subset that
// recovers the section list from it.
//
// The polyline runs along the axis-and-wall outline of the bore, x the axial distance from the
// input reference plane and y the radius, both in mm: (0, 0), then each section's two corners
// (z_start, r) and (z_end, r) in turn, then (z_total, 0), closed back to the start (group 70 = 1).
// Every coordinate is written with 17 significant digits, so the reader recovers the section list
// to the rounding of the millimetre conversion (1e-15 relative; dxf_test).
#pragma once

#include <string>
#include <string_view>

#include "modal/profile.hpp"

namespace kelvor::asbuilt {

// The DXF text of the profile's half-section (lines ended by LF). An empty string for an empty
// profile or a length or radius not finite and positive.
std::string half_section_dxf(const modal::Profile &profile);

// Why a DXF text gives no profile.
enum class DxfError {
  none,             // the profile was read
  not_dxf,          // a group code is not an integer, or the group-value pairs are cut short
  no_polyline,      // no POLYLINE entity with its VERTEX entities and SEQEND
  not_half_section, // the vertices are not the outline written above (axis ends, corner pairs)
  too_large,        // more vertices than kMaxDxfVertices
};

inline constexpr std::size_t kMaxDxfVertices = 200000;

struct DxfProfile {
  modal::Profile profile;
  DxfError error = DxfError::none;
};

// The section list (m) of the first POLYLINE of the text, written as above.
DxfProfile read_half_section_dxf(std::string_view text);

} // namespace kelvor::asbuilt
