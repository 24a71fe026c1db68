"""The page's WebAssembly core under node against independent computations: its
tables against the native dialogue's report over a grid of requests, its
refusals and CSV against fixed values, and its pattern phase and model-true
design against the Python module's."""
import json
import subprocess
import sys

import numpy as np

import webtest

a = webtest.arguments()
webtest.require(["em++", "node"], a.page_dir, "kelvor_core.js")
node = ["node", "--no-experimental-fetch", str(a.source / "web" / "tests" / "core_node.js"),
        str(a.page_dir / "kelvor_core.js"), str(a.source / "web" / "page" / "form.js")]


def page(*queries):
    out = subprocess.run(node + list(queries), capture_output=True, check=True, text=True)
    return [json.loads(line) for line in out.stdout.splitlines()]


def rows(text):
    return [line.split(",") for line in text.splitlines() if not line.startswith("#")][1:]


# unit, freq, beamwidth, level, index, s, aperture, slant, fresp: nominal and
# derived levels, descending ranges, missed levels, a nearly flat phase front.
GRID = [("in", "10", "30", "10", "", "0:2:0.05", "2.6118", "28.8985", "1:40:0.5"),
        ("cm", "12", "20", "8", "2", "0.05:0.3:0.05", "5.5", "40", "11:13:0.5"),
        ("cm", "10", "30", "25", "4", "0.1:1:0.1", "5", "30", "40:2:-2"),
        ("in", "3", "90", "3", "", "1:0:-0.01", "1", "2", "0.5:20:0.25"),
        ("in", "24", "8", "9.14", "1", "0.02:0.6:0.02", "3", "1e3", "20:28:0.1")]
results = page(*(webtest.query(*g) for g in GRID))
for g, got in zip(GRID, results):
    if got["records"].rstrip("\n").split("\n") != webtest.native_tables(a.kelvor, webtest.answers(*g)):
        sys.exit(f"{webtest.query(*g)}: the tables differ from the native report")
    # Each CSV row is its record's fields, a missed level's (negative) beamwidth left empty.
    records = [r.split() for r in got["records"].split("\n") if r[:1] == " " and "." in r]
    response = [r[:-2] for r in rows(got["csv"]["response"])]
    want = [["" if i in range(1, 5) and v.startswith("-") else v for i, v in enumerate(r)]
            for r in records[-len(response):]]
    if response != want:
        sys.exit(f"{webtest.query(*g)}: the response CSV is not the table's fields")
print(f"{len(GRID)} requests: the native report's records; the CSV the table's fields")

cm = results[2]["csv"]
PINNED = [  # what, got, want
    ("cm design columns", cm["design"].splitlines()[5],
     "phase_deviation_cycles,aperture_radius_cm,slant_radius_cm,gain_dbi,phase_centre_cm,real_cone"),
    ("cm response request", cm["response"].splitlines()[:6],
     ["# unit: cm", "# aperture_radius_cm: 5", "# slant_radius_cm: 30", "# level_db: 25",
      "# level_index: 4", "freq_ghz,beamwidth_3db_deg,beamwidth_6db_deg,beamwidth_10db_deg,"
      "beamwidth_25db_deg,gain_dbi,phase_centre_cm,real_cone,reason"]),
    ("missed levels", cm["response"].splitlines()[-1],
     "2.0000,101.5,,,,4.82,0.027,yes,level never reached: 6 10 25 dB"),
    ("model-true row", rows(cm["model"])[0][3:], ["3.207774694835872", "yes", "none", "yes", "valid"]),
    ("dish row", results[0]["csv"]["dish"].splitlines()[-1], "10,2.6118,28.8985,0.4,"
     "3.4297392677362755,-50.04375640334611,-47.179555750125594,-2.864200653220512,"
     "9.180146657551367,99.90724540849078,10.286076276890096,89.33114360741166,100,none,yes,"
     "valid,no"),
    ("dish request", results[2]["csv"]["dish"].splitlines()[:6],
     ["# unit: cm", "# aperture_radius_cm: 5", "# slant_radius_cm: 30", "# freq_ghz: 10",
      "# feed_position: the best for each f/D, from the aperture plane toward the apex",
      "# validity: valid"]),
    ("freq 2e9 in the pattern's request", page("aperture=1&slant=9&pfreq=2e9")[0]["csv"]["pattern"]
     .splitlines()[3], "# freq_ghz: 2e+09"),
    ("dish refused", page("aperture=30&slant=300&pfreq=10")[0]["refusal"], "the horn's aperture "
     "integrand turns by k a + 4 pi S = 175.7 radians, more than the 128 that the page integrates "
     "in reasonable time"),
]
REFUSED = [  # query, field, message
    ("freq=10 20&beamwidth=30&level=10&s=0.1:0.1:0.1", "freq", "One number only."),
    ("freq=0&beamwidth=30&level=10&s=0.1:0.1:0.1", "freq", "Must be greater than 0."),
    ("unit=mm&freq=10&beamwidth=30&level=10&s=0.1:0.1:0.1", "unit",
     "The unit is in (inches) or cm (centimetres)."),
    ("freq=10&beamwidth=30&level=10&s=0:1e9:1e-9", "s",
     "This range has 1e+18 rows; at most 1000000 are computed."),
    ("freq=10&beamwidth=30&level=10&s=0:1000000:1", "s",
     "This range has 1000001 rows; at most 1000000 are computed."),
    ("freq=10&beamwidth=30&level=10&s=0:1:-1", "s",
     "This range has no rows: from start, the step must lead towards stop."),
    ("freq=10&beamwidth=30&level=10&s=0:1:0", "s", "The step must not be 0."),
    ("freq=10&beamwidth=30&level=10&s=0.1::0.1", "s", "Enter a number. (empty)"),
    ("freq=10&beamwidth=30&level=10&s=0.5:-0.1:-0.1", "s", "Phase deviations are 0 or more."),
    # A horn alone asks for its response over a band.
    ("aperture=1&slant=9&level=10", "fresp", "Enter start:stop:step, three numbers."),
    ("", "beamwidth", "Enter a number."),
    ("freq=10&beamwidth=30&level=10&index=5&s=0.1:0.1:0.1", "index",
     "The level index is one of 1, 2, 3, 4."),
    ("aperture=1&slant=9&pfreq=10&cut=45", "cut", "The cut ends at 90 or 180 degrees."),
]
for (q, field, want), got in zip(REFUSED, page(*(r[0] for r in REFUSED))):
    PINNED.append((f"{q}: {field}", got.get("errors", {}).get(field), want))
CALLS = [  # the core's entry points as the page calls them, and their values
    ("countRows(0, 1, 0)", {"status": "zero_step", "rows": 0, "message": "The step must not be 0."}),
    ("readNumber('10 20')", {"status": "extra", "value": 0, "message": "One number only."}),
    ("readNumber('1e39')", {"status": "too_large", "value": 0,
                            "message": "Too large for a single-precision number."}),
]
PINNED += [(call, got, want) for (call, want), got in zip(CALLS, page(*(c[0] for c in CALLS)))]
for what, got, want in PINNED:
    if got != want:
        sys.exit(f"{what}: {got!r}, expected {want!r}")
print(f"{len(PINNED)} refusals and CSV lines as pinned")

if a.python_path:
    sys.path.insert(0, a.python_path)
    from kelvor import model, plot, tables

    for g, got in zip(GRID, results):
        unit, freq, bw, level, _, _, aperture, slant, _ = g
        cells = np.array(rows(got["csv"]["model"]))
        s = cells[:, 0].astype(float)
        want = model.design(freq_ghz=float(freq), beamwidth_deg=float(bw), level_db=float(level),
                            phase_deviation=s, unit=unit)
        for column, values in ((1, want.aperture_radius), (2, want.slant_radius)):
            page_values = np.array([float(v) if v else np.nan for v in cells[:, column]])
            # The root is found to 1e-10 relative; the two builds' libm differ below it.
            if not np.allclose(page_values, values, rtol=1e-9, atol=0, equal_nan=True):
                sys.exit(f"{webtest.query(*g)}: model-true column {column} differs from model.design")
            # The table's record prints the same radius to four decimals.
            printed = [r.split()[column] for r in got["modelRecords"].splitlines()[1:]]
            if printed != ["Infinity" if np.isinf(v) else f"{v:.4f}" for v in values]:
                sys.exit(f"{webtest.query(*g)}: model-true record column {column}: {printed}")
        cut = np.array(rows(got["csv"]["pattern"]), dtype=float)
        if not np.array_equal(cut[:, 0], np.arange(361) / 4):  # the axis to 90 degrees by 0.25
            sys.exit(f"{webtest.query(*g)}: the cut's angles {cut[:3, 0]}...{cut[-1, 0]}")
        want = tables.pattern(float(aperture), float(slant), float(freq), cut[:, 0], unit=unit)
        if not (np.array_equal(cut[:, 1].astype(np.float32), want.level_db.astype(np.float32)) and
                np.allclose(got["phaseFromCentre"], plot.pattern_phase(want), rtol=0, atol=1e-4)):
            sys.exit(f"{webtest.query(*g)}: the pattern differs from kelvor.tables and kelvor.plot")
        centre = tables.response(float(aperture), float(slant), float(freq), unit=unit).phase_centre
        if not np.isclose(got["phaseCentre"], centre[0], rtol=1e-6, atol=0):
            sys.exit(f"{webtest.query(*g)}: phase centre {got['phaseCentre']}, expected {centre[0]}")
        if "dish" in got:  # one dish, f/D 0.4, the feed at its best: a minimiser places
            # an optimum to about the square root of the efficiency's precision
            d = model.dish(float(aperture), float(slant), float(freq), f_over_d=0.4, unit=unit)
            want = [0.4, d.aperture_efficiency, d.spillover, d.illumination, d.phase, d.feed_position]
            if not np.allclose(list(got["dish"].values()), np.hstack(want), rtol=1e-6, atol=0):
                sys.exit(f"{webtest.query(*g)}: the dish curve {got['dish']}, expected {want}")
    print("model-true radii as model.design's, the pattern and its phase as kelvor.plot's, "
          "the dish as model.dish's")
