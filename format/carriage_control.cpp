#include "format/carriage_control.hpp"

namespace kelvor::format {

void append_console_record(std::string &out, bool &pending, std::string_view record, bool advance) {
  const char control = record.empty() ? ' ' : record.front();
  if (!record.empty())
    record.remove_prefix(1);
  if (control == '+') {
    out.push_back('\r');
  } else {
    finish_console(out, pending);
    if (control == '0')
      out.push_back('\n');
    else if (control == '1')
      out.push_back('\f');
  }
  out.append(record);
  pending = advance;
}

void finish_console(std::string &out, bool &pending) {
  if (pending)
    out.push_back('\n');
  pending = false;
}

} // namespace kelvor::format
