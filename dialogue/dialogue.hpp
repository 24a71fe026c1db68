// The program's dialogue: banner, report file, units, then the nested loops of
// design requests, design tables and frequency responses, until the stop.
#pragma once

namespace kelvor::dialogue {

// Runs the whole dialogue on the record layer's streams; ends only by the stop
// or by a message of the record layer.
[[noreturn]] void run();

} // namespace kelvor::dialogue
