#!/usr/bin/python3
"""Writes the section lists of the full-wave cases (mm, on a 0.5 mm grid so that every FDTD
resolution used, 2 to 8 cells per mm, puts each wall on a grid line)."""
from pathlib import Path

HERE = Path(__file__).parent / "cases"
A_IN = 11.0  # input guide radius: TE11 from 7.99 GHz, TM11 from 16.6 GHz
SLOT_MM, TOOTH_MM = 2.0, 1.0
# Mode converter: slot depth from about half a wavelength to a quarter at 11 GHz (27.3 mm).
CONVERTER_DEPTHS = [13.5, 12.0, 10.5, 9.5, 8.0, 7.0]


def corrugations(radii, depths):
    """One slot (radius a + d) then one tooth (radius a) per period."""
    out = []
    for a, d in zip(radii, depths):
        out += [(SLOT_MM, a + d), (TOOTH_MM, a)]
    return out


def write(name, sections):
    with open(HERE / name, "w") as f:
        f.write("length,radius\n")
        for length, radius in sections:
            f.write(f"{length:g},{radius:g}\n")


def main():
    HERE.mkdir(exist_ok=True)
    write("step.csv", [(20, 10), (30, 15)])
    n = len(CONVERTER_DEPTHS)
    write("converter.csv", [(20, A_IN)] + corrugations([A_IN] * n, CONVERTER_DEPTHS) + [(30, A_IN)])
    # Horn: the converter, then 15 periods whose tooth radius grows from 11 to 30 mm (a cone of
    # about 23 degrees' half-angle) with quarter-wave slots; the aperture is the last tooth.
    flare = [round(2 * (A_IN + 19.0 * k / 15)) / 2 for k in range(1, 16)]
    write("horn.csv", [(20, A_IN)] + corrugations([A_IN] * n + flare, CONVERTER_DEPTHS + [7.0] * 15))


if __name__ == "__main__":
    main()
