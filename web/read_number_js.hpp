// Typed text read by the core's one reader, for JavaScript: the tables' core and the horn's
// core both bind it, so neither page script reads a number itself.
#pragma once

#include <emscripten/val.h>

#include <string>

#include "web/core.hpp"

namespace kelvor::web {

inline emscripten::val read_number_js(const std::string &text) {
  const Number n = read_number(text);
  emscripten::val out = emscripten::val::object();
  out.set("status", std::string(status_name(n.status)));
  out.set("value", n.value);
  out.set("message", std::string(status_message(n.status)));
  return out;
}

} // namespace kelvor::web
