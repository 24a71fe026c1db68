// GRASP cut files: writer and reader of the format described in grasp_cut.hpp.
#include "asbuilt/grasp_cut.hpp"
#include "asbuilt/read_double.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kelvor::asbuilt {

namespace {

void append_number(std::string &out, double x) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, " %.16E", x);
  out += buffer;
}

bool finite(const std::vector<std::complex<double>> &values) {
  for (const auto &v : values)
    if (!std::isfinite(v.real()) || !std::isfinite(v.imag()))
      return false;
  return true;
}

bool writable(const GraspCut &cut) {
  const std::size_t n = cut.f1.size();
  return n > 0 && cut.f2.size() == n && (cut.f3.empty() || cut.f3.size() == n) &&
         cut.text.find_first_of("\r\n") == std::string::npos && std::isfinite(cut.v_ini_deg) &&
         std::isfinite(cut.v_inc_deg) && std::isfinite(cut.c_deg) && finite(cut.f1) &&
         finite(cut.f2) && finite(cut.f3);
}

// The next line of text (without its line ending), false at the end.
bool next_line(std::string_view &text, std::string_view &line) {
  if (text.empty())
    return false;
  const auto end = text.find('\n');
  line = text.substr(0, end);
  if (!line.empty() && line.back() == '\r')
    line.remove_suffix(1);
  text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  return true;
}

// The blank-separated numbers of a line, at most `most` of them; false for anything else.
bool numbers(std::string_view line, std::vector<double> &out, std::size_t most) {
  out.clear();
  std::size_t i = 0;
  while (true) {
    i = line.find_first_not_of(" \t", i);
    if (i == std::string_view::npos)
      return true;
    const std::size_t end = std::min(line.find_first_of(" \t", i), line.size());
    double x;
    if (!read_double(line.substr(i, end - i), x) || out.size() == most)
      return false;
    out.push_back(x);
    i = end;
  }
}

bool integral(double x) {
  return x == std::floor(x) && std::abs(x) < 1e9;
}

} // namespace

std::string grasp_cut_file(const std::vector<GraspCut> &cuts) {
  std::string out;
  for (const GraspCut &cut : cuts) {
    if (!writable(cut))
      return {};
    const std::size_t ncomp = cut.f3.empty() ? 2 : 3;
    out += cut.text;
    out += '\n';
    append_number(out, cut.v_ini_deg);
    append_number(out, cut.v_inc_deg);
    out += ' ' + std::to_string(cut.f1.size());
    append_number(out, cut.c_deg);
    out += ' ' + std::to_string(cut.icomp) + ' ' + std::to_string(cut.icut) + ' ' +
           std::to_string(ncomp) + '\n';
    for (std::size_t i = 0; i < cut.f1.size(); ++i) {
      for (const auto *f : {&cut.f1, &cut.f2, &cut.f3}) {
        if (f->empty())
          continue;
        append_number(out, (*f)[i].real());
        append_number(out, (*f)[i].imag());
      }
      out += '\n';
    }
  }
  return out;
}

std::vector<GraspCut> grasp_cuts(const modal::RadiationSummary &summary, std::string_view title) {
  const std::vector<double> &theta = summary.theta_deg;
  if (summary.failure != modal::Failure::none || theta.size() < 2)
    return {};
  const double step = theta[1] - theta[0];
  for (std::size_t i = 0; i < theta.size(); ++i)
    if (std::abs(theta[i] - (theta[0] + step * static_cast<double>(i))) > 1e-9)
      return {};
  std::vector<GraspCut> cuts;
  for (const modal::RadiationCut &c : summary.cuts) {
    GraspCut cut;
    char phi[32];
    std::snprintf(phi, sizeof phi, ", phi = %g deg", c.phi_deg);
    cut.text = std::string(title) + phi;
    cut.v_ini_deg = theta[0];
    cut.v_inc_deg = step;
    cut.c_deg = c.phi_deg;
    cut.f1 = c.co;
    cut.f2 = c.cross;
    cuts.push_back(std::move(cut));
  }
  return cuts;
}

std::vector<GraspCut> aperture_cuts(const modal::ApertureField &aperture, double step_deg,
                                    std::string_view title) {
  if (!(step_deg >= 0.01 && step_deg <= 90))
    return {};
  modal::RadiationOptions options;
  const auto count = static_cast<std::size_t>(std::floor(180 / step_deg + 1e-9)) + 1;
  for (std::size_t i = 0; i < count; ++i)
    options.cut_theta_deg.push_back(step_deg * static_cast<double>(i));
  options.cut_reference_m = 0;
  return grasp_cuts(modal::radiate(aperture, options), title);
}

CutFile read_grasp_cut_file(std::string_view text, std::size_t max_values) {
  CutFile file;
  std::string_view line;
  std::vector<double> x;
  std::size_t total = 0;
  while (next_line(text, line)) {
    if (line.find_first_not_of(" \t") == std::string_view::npos && text.empty())
      break; // a blank last line
    GraspCut cut;
    cut.text = std::string(line);
    if (!next_line(text, line) || !numbers(line, x, 7) || x.size() != 7 || !integral(x[2]) ||
        x[2] < 1 || !integral(x[4]) || !integral(x[5]) || (x[6] != 2 && x[6] != 3)) {
      file.error = CutError::bad_header;
      return file;
    }
    const auto count = static_cast<std::size_t>(x[2]);
    const auto ncomp = static_cast<std::size_t>(x[6]);
    if (count > max_values - total) {
      file.error = CutError::too_large;
      return file;
    }
    total += count;
    cut.v_ini_deg = x[0];
    cut.v_inc_deg = x[1];
    cut.c_deg = x[3];
    cut.icomp = static_cast<int>(x[4]);
    cut.icut = static_cast<int>(x[5]);
    for (std::size_t i = 0; i < count; ++i) {
      if (!next_line(text, line) || !numbers(line, x, 2 * ncomp) || x.size() != 2 * ncomp) {
        file.error = CutError::bad_values;
        return file;
      }
      cut.f1.emplace_back(x[0], x[1]);
      cut.f2.emplace_back(x[2], x[3]);
      if (ncomp == 3)
        cut.f3.emplace_back(x[4], x[5]);
    }
    file.cuts.push_back(std::move(cut));
  }
  if (file.cuts.empty())
    file.error = CutError::empty;
  return file;
}

} // namespace kelvor::asbuilt
