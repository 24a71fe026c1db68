#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <regex>

#include "asbuilt/dxf.hpp"
#include "asbuilt/grasp_cut.hpp"
#include "asbuilt/synthesis.hpp"

namespace kelvor::asbuilt {
namespace {

// Round trip: the drawing of a synthesised horn reads back as its section list.
TEST(Exports, DxfReadsBackAsTheProfile) {
  const modal::Profile p = profile(synthesise({10.7, 12.75}, 0.04, 0.2).horn);
  const std::string dxf = half_section_dxf(p);
  const DxfProfile back = read_half_section_dxf(dxf);
  ASSERT_EQ(back.error, DxfError::none);
  ASSERT_EQ(back.profile.size(), p.size());
  for (std::size_t i = 0; i < p.size(); ++i) {
    EXPECT_NEAR(back.profile[i].length_m, p[i].length_m, 1e-15);
    EXPECT_EQ(back.profile[i].radius_m, p[i].radius_m * 1000 / 1000);
  }
  // The whole file of one section, 2 mm long and 0.5 mm in radius.
  const std::string one = half_section_dxf({{2e-3, 0.5e-3}});
  const std::string vertex = "0\nVERTEX\n8\n0\n10\n";
  EXPECT_EQ(one, "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n0\nENDSEC\n0\nSECTION\n2\n"
                 "ENTITIES\n0\nPOLYLINE\n8\n0\n66\n1\n10\n0\n20\n0\n30\n0\n70\n1\n" +
                     vertex + "0\n20\n0\n30\n0\n" + vertex + "0\n20\n0.5\n30\n0\n" + vertex +
                     "2\n20\n0.5\n30\n0\n" + vertex +
                     "2\n20\n0\n30\n0\n0\nSEQEND\n8\n0\n0\n"
                     "ENDSEC\n0\nEOF\n");
  EXPECT_EQ(read_half_section_dxf(one).profile[0].radius_m, 0.5e-3);
  // Blanks and carriage returns around the values, as other writers leave them.
  EXPECT_EQ(read_half_section_dxf(std::regex_replace(one, std::regex("\n"), " \r\n"))
                .profile.at(0)
                .length_m,
            2e-3);
  EXPECT_EQ(half_section_dxf({{1e-3, -1}}), "");
  struct Bad {
    std::string text;
    DxfError error;
  };
  const Bad bad[] = {
      {"x\nSECTION\n", DxfError::not_dxf},
      {"0\nSECTION\n0\n", DxfError::not_dxf},
      {"0\nSECTION\n0\nEOF\n", DxfError::no_polyline},
      {"0\nSEQEND\n0\nEOF\n", DxfError::no_polyline},
      {one.substr(0, one.find("VERTEX")) + "SEQEND\n", DxfError::not_half_section},
      {std::string(one).replace(one.find("\n20\n0.5\n") + 4, 3, "0.6"), DxfError::not_half_section},
      {std::string(one).replace(one.find("\n10\n2\n") + 4, 1, "0"), DxfError::not_half_section},
      {std::regex_replace(one, std::regex("0\\.5"), "0"), DxfError::not_half_section},
      {std::string(one).replace(one.find("\n10\n2\n") + 4, 1, "z"), DxfError::not_dxf},
  };
  for (const Bad &b : bad)
    EXPECT_EQ(read_half_section_dxf(b.text).error, b.error) << b.text;
}

// Round trip: a cut file read back holds the same numbers bit for bit.
TEST(Exports, CutFileReadsBackBitForBit) {
  std::mt19937_64 random(25);
  std::uniform_real_distribution<double> u(-1e3, 1e3);
  std::vector<GraspCut> cuts(2);
  for (std::size_t c = 0; c < cuts.size(); ++c) {
    cuts[c].text = "horn, phi = " + std::to_string(45 * c);
    cuts[c].v_ini_deg = -180;
    cuts[c].v_inc_deg = 0.1 * (1 + static_cast<double>(c));
    cuts[c].c_deg = 45.0 * static_cast<double>(c);
    cuts[c].icomp = 3 - 2 * static_cast<int>(c);
    cuts[c].icut = 1 + static_cast<int>(c);
    for (int i = 0; i < 37; ++i) {
      cuts[c].f1.emplace_back(u(random), u(random) * 1e-300);
      cuts[c].f2.emplace_back(u(random) * 1e300, -0.0);
      if (c == 1)
        cuts[c].f3.emplace_back(u(random), u(random));
    }
  }
  const std::string text = grasp_cut_file(cuts);
  const CutFile back = read_grasp_cut_file(text);
  ASSERT_EQ(back.error, CutError::none);
  ASSERT_EQ(back.cuts.size(), 2u);
  for (std::size_t c = 0; c < cuts.size(); ++c) {
    EXPECT_EQ(back.cuts[c].text, cuts[c].text);
    EXPECT_EQ(back.cuts[c].v_ini_deg, cuts[c].v_ini_deg);
    EXPECT_EQ(back.cuts[c].v_inc_deg, cuts[c].v_inc_deg);
    EXPECT_EQ(back.cuts[c].c_deg, cuts[c].c_deg);
    EXPECT_EQ(back.cuts[c].icomp, cuts[c].icomp);
    EXPECT_EQ(back.cuts[c].icut, cuts[c].icut);
    EXPECT_EQ(back.cuts[c].f1, cuts[c].f1);
    EXPECT_EQ(back.cuts[c].f2, cuts[c].f2);
    EXPECT_EQ(back.cuts[c].f3, cuts[c].f3);
  }
  // The header line as the format defines it: V_INI V_INC V_NUM C ICOMP ICUT NCOMP.
  EXPECT_EQ(text.substr(text.find('\n') + 1, 79),
            " -1.8000000000000000E+02 1.0000000000000001E-01 37 0.0000000000000000E+00 3 1 2");
  const std::string crlf = std::regex_replace(text, std::regex("\n"), "\r\n");
  EXPECT_EQ(read_grasp_cut_file(crlf).cuts[1].f3, cuts[1].f3);
  EXPECT_EQ(read_grasp_cut_file(text + " \n").error, CutError::none); // a blank last line
  EXPECT_EQ(read_grasp_cut_file(text, 74).error, CutError::none);
  EXPECT_EQ(read_grasp_cut_file(text, 73).error, CutError::too_large);
  GraspCut nan = cuts[0];
  nan.f2[3] = NAN;
  EXPECT_EQ(grasp_cut_file({nan}), "");
  struct Bad {
    std::string text;
    CutError error;
  };
  const Bad bad[] = {
      {"", CutError::empty},
      {"t\n0 1 2 0 3 1 4\n", CutError::bad_header},
      {"t\n0 1 0.5 0 3 1 2\n", CutError::bad_header},
      {"t\n0 1 2 0 3 1 2\n1 2 3 4\n", CutError::bad_values},
      {"t\n0 1 1 0 3 1 2\n1 2 3 x\n", CutError::bad_values},
      {"t\n0 1 1 0 3 1 2\n1 2 3 4 5\n", CutError::bad_values},
      {"t\n0 1 2e7 0 3 1 2\n", CutError::too_large},
      {"t\n0 1 1 0 1e9 1 2\n1 2 3 4\n", CutError::bad_header},
      {"t\n0 1 1 0 3 1 2 9\n1 2 3 4\n", CutError::bad_header},
  };
  for (const Bad &b : bad)
    EXPECT_EQ(read_grasp_cut_file(b.text).error, b.error) << b.text;

  // A radiation summary's three cuts, co in F1 and cross in F2, phi the constant.
  modal::RadiationSummary summary;
  summary.theta_deg = {-1, 0.5, 2};
  for (std::size_t c = 0; c < 3; ++c)
    summary.cuts[c] = {45.0 * static_cast<double>(c), {1, 2, {3, 4}}, {5, 6, 7}};
  const std::vector<GraspCut> from = grasp_cuts(summary, "Ku horn");
  ASSERT_EQ(from.size(), 3u);
  EXPECT_EQ(from[2].text, "Ku horn, phi = 90 deg");
  EXPECT_EQ(from[2].c_deg, 90);
  EXPECT_EQ(from[1].v_ini_deg, -1);
  EXPECT_EQ(from[1].v_inc_deg, 1.5);
  EXPECT_EQ(from[1].f1[2], std::complex<double>(3, 4));
  EXPECT_EQ(from[1].f2[2], 7.0);
  summary.theta_deg[2] = 2.1;
  EXPECT_TRUE(grasp_cuts(summary, "uneven").empty());
  summary.theta_deg = {0, 1};
  EXPECT_EQ(grasp_cuts(summary, "two angles").size(), 3u);
  summary.theta_deg = {0};
  EXPECT_TRUE(grasp_cuts(summary, "one angle").empty());
  EXPECT_EQ(grasp_cut_file({GraspCut{}}), "");
}

// The cuts of a TE11 aperture: 0..180 degrees, normalised to the directivity, phase referred to
// the aperture plane.
TEST(Exports, ApertureCutsAreTheRadiatedField) {
  const modal::ApertureField te11{0.02, 12, {1.0}, {}};
  const std::vector<GraspCut> cuts = aperture_cuts(te11, 0.5, "TE11");
  ASSERT_EQ(cuts.size(), 3u);
  EXPECT_EQ(cuts[1].f1.size(), 361u);
  EXPECT_EQ(cuts[1].text, "TE11, phi = 45 deg");
  const double directivity = std::pow(10, modal::radiate(te11).directivity_dbi / 10);
  EXPECT_NEAR(std::norm(cuts[0].f1[0]) + std::norm(cuts[0].f2[0]), directivity, 1e-9);
  const modal::FarField f = modal::Radiator(te11).field(30 * M_PI / 180, M_PI / 4, 0);
  EXPECT_NEAR(std::arg(cuts[1].f1[60] / f.co_v), 0, 1e-9);
  EXPECT_NEAR(std::arg(cuts[1].f2[60] / f.cross_v), 0, 1e-9);
  EXPECT_TRUE(aperture_cuts(te11, 0, "no step").empty());
  EXPECT_TRUE(aperture_cuts(te11, 90.5, "too coarse").empty());
  EXPECT_EQ(aperture_cuts(te11, 90, "coarsest").at(2).f1.size(), 3u);
}

} // namespace
} // namespace kelvor::asbuilt
