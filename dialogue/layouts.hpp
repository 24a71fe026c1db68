// Every prompt, heading and table row of the program, as constant record layouts
// walked by the record layer. Column positions are binding: engineers compare the
// reports character for character, so each literal keeps its exact blanks.
#pragma once

#include <array>
#include <string_view>

#include "format/layout.hpp"

namespace kelvor::dialogue::layouts {

// The layout vocabulary, named here one by one rather than the whole format
// namespace opened in every file that includes this one.
using format::aw;
using format::end_of_layout;
using format::fw;
using format::group;
using format::group_end;
using format::Item;
using format::lit;
using format::no_advance;
using format::nx;
using format::slash;

inline constexpr Item BANNER[] = {
    lit(" Conical Corrugated Horn Designed to Beamwidth"),
    end_of_layout(),
};

inline constexpr Item FILE_NAME_PROMPT[] = {
    lit(" Enter output file "),
    no_advance(),
    end_of_layout(),
};

// The report-file name is read as one character field of 70.
inline constexpr int FILE_NAME_WIDTH = 70;
inline constexpr Item FILE_NAME_INPUT[] = {
    aw(FILE_NAME_WIDTH),
    end_of_layout(),
};

inline constexpr Item UNIT_PROMPT[] = {
    lit(" Enter units: 1 cm, 2 inches "),
    no_advance(),
    end_of_layout(),
};

inline constexpr Item DESIGN_PROMPT[] = {
    lit(" Enter Frequency (GHz), Beamwidth (0 terminates) "),
    no_advance(),
    end_of_layout(),
};

inline constexpr Item LEVEL_PROMPT[] = {
    lit(" Enter Pattern Level (dB) at Beamwidth "),
    no_advance(),
    end_of_layout(),
};

inline constexpr Item REPORT_TITLE[] = {
    slash(),
    nx(4),
    lit(" KELVOR "),
    end_of_layout(),
};

inline constexpr Item CREDIT[] = {
    lit("     Code: Pellimondrakes"),
    end_of_layout(),
};

// Values: frequency, design beamwidth, pattern level.
inline constexpr Item DESIGN_HEADING[] = {
    slash(),         slash(),           lit(" Conical Corrugated Horn Designed to Beamwidth"),
    slash(),         slash(),           lit(" Frequency(GHz) ="),
    fw(8, 3),        slash(),           lit(" Design Beamwidth = "),
    fw(7, 2),        lit("  @ Level "), fw(6, 1),
    end_of_layout(),
};

// Values: the four nominal levels.
inline constexpr Item LEVEL_CHOICE_PROMPT[] = {
    lit(" Enter Beamwidth Level to Derive Given Level"),
    slash(),
    lit(" (1)"),
    fw(5, 1),
    lit(" ,(2)"),
    fw(5, 1),
    lit(" ,(3)"),
    fw(5, 1),
    lit(" ,(4)"),
    fw(5, 1),
    lit(" "),
    no_advance(),
    end_of_layout(),
};

inline constexpr Item PHASE_DEVIATION_PROMPT[] = {
    lit(" Enter Max Aperture Phase Deviation (Cycles: 0 TO 1)"),
    slash(),
    nx(10),
    lit(" Start,Stop,Step (0 terminates) "),
    no_advance(),
    end_of_layout(),
};

inline constexpr Item DESIGN_TABLE_HEADER[] = {
    slash(),
    nx(2),
    lit(" S"),
    nx(3),
    lit(" Aperture Radius"),
    nx(1),
    lit(" Slant Radius"),
    nx(4),
    lit(" Gain  Phase CTR."),
    slash(),
    end_of_layout(),
};

// Values: phase deviation, aperture radius, slant radius, gain, phase centre.
inline constexpr Item DESIGN_ROW[] = {
    fw(6, 3), nx(6), fw(8, 4), nx(7), fw(8, 4), nx(4), fw(7, 2), nx(2), fw(7, 3), end_of_layout(),
};

inline constexpr Item HORN_PROMPT[] = {
    lit(" Frequency Response"),
    slash(),
    lit(" Enter Aperture, Slant Radius (0 terminates) "),
    no_advance(),
    end_of_layout(),
};

inline constexpr Item FREQUENCY_RANGE_PROMPT[] = {
    lit(" Enter Frequency (GHz)  Start,Stop,Step (0 terminates) "),
    no_advance(),
    end_of_layout(),
};

// The unit label of the horn heading, by unit choice (1 cm, 2 inches).
inline constexpr std::array<std::string_view, 2> UNITL = {" cm ", " in."};

// Values: aperture radius, unit label (4 characters), slant radius.
inline constexpr Item HORN_HEADING[] = {
    slash(),
    lit(" Frequency Response"),
    slash(),
    slash(),
    lit(" Aperture Radius: "),
    fw(8, 3),
    aw(4),
    nx(4),
    lit(" Slant Radius: "),
    fw(8, 3),
    slash(),
    end_of_layout(),
};

// Values: the levels of the four beamwidth columns.
inline constexpr Item RESPONSE_TABLE_HEADER[] = {
    slash(),  nx(20),          lit(" Beamwidths"), slash(),     lit(" Frequency"),
    group(4), fw(5, 0),        lit(" dB"),         group_end(), lit("   Gain  Phase CTR."),
    slash(),  end_of_layout(),
};

// Values: frequency, the four beamwidths, gain, phase centre.
inline constexpr Item RESPONSE_ROW[] = {
    nx(1), fw(8, 4), group(4), nx(2),    fw(6, 1),        group_end(),
    nx(2), fw(7, 2), nx(2),    fw(7, 3), end_of_layout(),
};

} // namespace kelvor::dialogue::layouts
