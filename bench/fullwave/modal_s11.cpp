// The mode-matching engine on the full-wave cases: reads a section list (CSV `length,radius`, mm),
// analyses it at each frequency and writes CSV rows `freq_ghz,s11_db,s11_deg` (S11 of TE11 at the
// input plane of the first section, exp(+j omega t)), the columns bench/fullwave/fdtd.py writes, so
// bench/fullwave/compare.py can set them side by side. With --cuts FILE (radiate only) it also
// writes the E-, 45- and H-plane co- and cross-polar cuts of each frequency.
//
//   kelvor_fullwave_modal SECTIONS.csv F1,F2,... matched|radiate [MODE_SCALE] [--widest N] [--cuts
//   FILE]
//
// --widest N gives the widest section N modes (AnalysisOptions::widest_modes), the others in
// proportion to their radii: a relative-convergence study at a fixed ratio of counts.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "modal/analysis.hpp"

namespace {

using kelvor::modal::Profile;

Profile read_sections_mm(const char *path) {
  std::ifstream in(path);
  std::string line;
  Profile profile;
  while (std::getline(in, line) && line.rfind('#', 0) == 0) {
  }
  if (line.rfind("length,radius", 0) != 0) {
    std::cerr << path << ": the header must be 'length,radius'\n";
    std::exit(2);
  }
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#')
      continue;
    double length_mm = 0, radius_mm = 0;
    char comma = 0;
    std::istringstream row(line);
    if (!(row >> length_mm >> comma >> radius_mm) || comma != ',') {
      std::cerr << path << ": bad row '" << line << "'\n";
      std::exit(2);
    }
    profile.push_back({length_mm * 1e-3, radius_mm * 1e-3});
  }
  return profile;
}

std::vector<double> read_list(const std::string &text) {
  std::vector<double> values;
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, ',');)
    values.push_back(std::stod(item));
  return values;
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 4) {
    std::cerr << "usage: kelvor_fullwave_modal SECTIONS.csv F1,F2,... matched|radiate [MODE_SCALE] "
                 "[--widest N] [--cuts FILE]\n";
    return 2;
  }
  kelvor::modal::AnalysisOptions options;
  options.termination = std::string(argv[3]) == "matched" ? kelvor::modal::Termination::matched
                                                          : kelvor::modal::Termination::radiate;
  const char *cuts_path = nullptr;
  for (int i = 4; i < argc; ++i) {
    if (std::string(argv[i]) == "--cuts" && i + 1 < argc)
      cuts_path = argv[++i];
    else if (std::string(argv[i]) == "--widest" && i + 1 < argc)
      options.widest_modes = std::stoi(argv[++i]);
    else
      options.mode_scale = std::stod(argv[i]);
  }
  const Profile profile = read_sections_mm(argv[1]);
  const std::vector<double> freqs = read_list(argv[2]);
  const auto results = kelvor::modal::analyse_band(profile, freqs, options);
  std::printf("freq_ghz,s11_db,s11_deg,xpol_peak_db,directivity_dbi,reason\n");
  for (const auto &r : results)
    std::printf("%.6g,%.6f,%.4f,%.4f,%.4f,%s\n", r.freq_ghz, r.s11_db, r.s11_deg, r.xpol_peak_db,
                r.directivity_dbi,
                r.failure == kelvor::modal::Failure::none ? ""
                                                          : kelvor::modal::describe(r.failure));
  if (cuts_path != nullptr) {
    std::ofstream cuts(cuts_path);
    cuts << "freq_ghz,phi_deg,theta_deg,co_db,cross_db\n";
    for (const auto &r : results)
      for (const auto &cut : r.cuts)
        for (std::size_t i = 0; i < cut.theta_deg.size(); ++i)
          cuts << r.freq_ghz << ',' << cut.phi_deg << ',' << cut.theta_deg[i] << ',' << cut.co_db[i]
               << ',' << cut.cross_db[i] << '\n';
  }
  return 0;
}
