"""The command line: its CSV columns are the library's values under the schema's
names, its outputs are all or nothing, its errors name the flag as typed, and no
hostile input makes any face hang."""

import csv
import io
import math
import os
import subprocess
import sys
from pathlib import Path

import matplotlib.pyplot as plt
import numpy as np
import pytest

import kelvor
from kelvor import __main__ as cli
from kelvor import model, model_plot
from kelvor._cli import (MAX_ROWS, CliError, Outputs, emit, library_error, parse_values,
                         write_csv)

HORN = ["--aperture", "1.3363", "--slant", "3.4846", "--unit", "cm"]


def run(capsys, *argv):
    status = cli.main(list(argv))
    out, err = capsys.readouterr()
    return status, out, err


def table(text):
    lines = text.splitlines()
    request = dict(line[2:].split(": ", 1) for line in lines if line.startswith("# "))
    return request, list(csv.DictReader(line for line in lines if not line.startswith("#")))


def full(v):
    return "" if math.isnan(v) else v


def yes(v):
    return "yes" if v else "no"


def digits(n):
    return lambda v: "" if math.isnan(v) else f"{v:.{n}f}"


# (arguments, the library's result, {column: (value of the result, expected cell)}).
# A swapped header, a lost digit or a unit slip changes some column's cells.
def design_table():
    return kelvor.design(10, 30, kelvor.sweep(0.1, 0.3, 0.1), unit="mm")


def missed(r, j):
    return np.where(r.level_missed[:, j], np.nan, r.beamwidth_deg[:, j])


SCHEMA = [
    (["design", "--freq", "10", "--beamwidth", "30", "--phase-deviation", "0.1:0.3:0.1",
      "--unit", "mm"], design_table,
     {"phase_deviation_cycles": (lambda r: r.phase_deviation, digits(3)),
      "aperture_radius_mm": (lambda r: r.aperture_radius, digits(3)),
      "slant_radius_mm": (lambda r: r.slant_radius, digits(3)),
      "gain_dbi": (lambda r: r.gain_db, digits(2)),
      "phase_centre_mm": (lambda r: r.phase_centre, digits(2))}),
    (["response", "--aperture", "0.5", "--slant", "10", "--freq", "30:2:-14", "--level", "20"],
     lambda: kelvor.response(0.5, 10, [30, 16, 2], level_db=20),
     {"freq_ghz": (lambda r: r.freq_ghz, digits(4)),
      "beamwidth_6db_deg": (lambda r: missed(r, 1), digits(1)),
      "beamwidth_20db_deg": (lambda r: missed(r, 3), digits(1)),
      "gain_dbi": (lambda r: r.gain_db, digits(2)),
      "phase_centre_in": (lambda r: r.phase_centre, digits(3))}),
    (["model-design", "--freq", "11.7", "--f-over-d", "0.4", "--edge-illumination", "-12",
      "--unit", "cm", "--phase-deviation", "0.1,0.3"],
     lambda: model.design(11.7, 2 * model.dish_half_angle_deg(0.4), [0.1, 0.3],
                          level_db=model.feed_level_db(0.4, -12), unit="cm"),
     {"aperture_radius_cm": (lambda r: r.aperture_radius, full),
      "slant_radius_cm": (lambda r: r.slant_radius, full),
      "aperture_radius_wavelengths": (lambda r: r.aperture_radius_wavelengths, full)}),
    (["dish", *HORN, "--f-over-d", "0.4", "--freq", "10:12:1"],
     lambda: model.dish(1.3363, 3.4846, [10, 11, 12], f_over_d=0.4, unit="cm"),
     {"freq_ghz": (lambda r: r.freq_ghz, full),
      "feed_position_cm": (lambda r: r.feed_position, full),
      "edge_illumination_db": (lambda r: r.edge_illumination_db, full),
      "feed_edge_level_db": (lambda r: r.feed_edge_level_db, full),
      "aperture_efficiency_percent": (lambda r: 100 * r.aperture_efficiency, full),
      "spillover_percent": (lambda r: 100 * r.spillover, full),
      "illumination_percent": (lambda r: 100 * r.illumination, full),
      "phase_percent": (lambda r: 100 * r.phase, full),
      "polarisation_percent": (lambda r: 100 * r.polarisation, full)}),
    (["dish-design", "--f-over-d", "0.4", "--freq", "11.7", "--unit", "cm",
      "--phase-deviation", "0:0.2:0.1"],
     lambda: model.design_for_dish(0.4, 11.7, phase_deviation=[0, 0.1, 0.2], unit="cm"),
     {"aperture_radius_cm": (lambda r: r.aperture_radius, full),
      "slant_radius_cm": (lambda r: r.slant_radius, full),
      "feed_position_cm": (lambda r: r.feed_position, full),
      "aperture_efficiency_percent": (lambda r: 100 * r.aperture_efficiency, full),
      "best": (lambda r: np.arange(3) == -1, yes)}),  # no row within the model
    (["dish-design", "--f-over-d", "0.8", "--freq", "11.7", "--phase-deviation", "0.2,0"],
     lambda: model.design_for_dish(0.8, 11.7, phase_deviation=[0.2, 0]),
     {"aperture_radius_in": (lambda r: r.aperture_radius, full),
      "best": (lambda r: np.arange(2) == r.best, yes)}),
    (["pattern", "--aperture", "1", "--slant", "9", "--freq", "10", "--theta", "0:20:10",
      "--unit", "cm"], lambda: kelvor.pattern(1, 9, 10, [0, 10, 20], unit="cm"),
     {"level_db": (lambda r: r.level_db, np.float32),
      "phase_deg": (lambda r: r.phase_deg, np.float32)}),
]


@pytest.mark.parametrize("argv,library,expected", SCHEMA)
def test_each_csv_column_is_the_librarys_value(capsys, argv, library, expected):
    status, out, err = run(capsys, *argv)
    assert status == 0, err
    request, rows = table(out)
    result = library()
    for column, (values, cell) in expected.items():
        got = [row[column] for row in rows]
        assert got == [str(cell(float(v))) for v in values(result)], column
    assert ({"freq_ghz", "unit"} <= request.keys() and "reason" in rows[0]
            or argv[0] in ("design", "pattern"))


def test_survivors_of_the_command_line(capsys, tmp_path, monkeypatch):
    rows = table(run(capsys, "dish", *HORN, "--f-over-d", "0.4", "--freq", "12:10:-1")[1])[1]
    assert [r["freq_ghz"] for r in rows] == ["12.0", "11.0", "10.0"]
    assert all(r["reason"] == "none" and float(r["aperture_efficiency_percent"]) > 60 for r in rows)
    # The pattern figure: the middle frequency's cut, its phase referred to the focus.
    drawn, draw = [], model_plot.pattern_on_dish
    monkeypatch.setattr(model_plot, "pattern_on_dish",
                        lambda *a, **k: drawn.append((a, k)) or draw(*a, **k))
    rows = table(run(capsys, "dish", *HORN, "--f-over-d", "0.4", "--freq", "11,12",
                     "--pattern-plot", str(tmp_path / "p.svg"))[1])[1]
    (cut, f_over_d), k = drawn[0]
    assert (cut.freq_ghz, f_over_d, cut.phase_reference, k["edge_level_db"]) == (
        12, 0.4, float(rows[1]["feed_position_cm"]), float(rows[1]["feed_edge_level_db"]))
    assert np.array_equal(cut.theta_deg, np.linspace(0, 180, 721))   # every quarter degree
    request, rows = table(run(capsys, "model-design", "--freq", "11.7", "--f-over-d", "0.4",
                              "--edge-illumination", "-12", "--unit", "cm")[1])
    assert (request["f_over_d"], request["edge_illumination_db"]) == ("0.4", "-12")
    assert float(rows[0]["aperture_radius_cm"]) == pytest.approx(1.336, abs=5e-4)
    assert (rows[0]["valid"], rows[0]["validity_reason"]) == (
        "no", model.Validity.APERTURE_TOO_SMALL.describe())
    rows = table(run(capsys, "response", "--aperture", "0.5", "--slant", "10", "--freq", "2",
                     "--level", "20")[1])[1]
    assert rows[0]["beamwidth_20db_deg"] == "" and "20 dB" in rows[0]["reason"]
    assert run(capsys, "--version")[:2] == (0, f"kelvor {kelvor.__version__}\n")
    # The row count is the dialogue's, and the limit holds to the row.
    assert len(parse_values("1:200000:1", "--theta")) == MAX_ROWS == 200000
    assert [parse_values(t, "-x", limit=3) for t in ("5:5:1", "1,2,3")] == [[5.0], [1, 2, 3]]
    for text, message in (("0:400000:1", "400001 rows"), ("-1e9:1e9:0.5", "about 4e\\+09 rows"),
                          ("0:1:1e-6", "about 1e\\+06 rows"), ("12:10:1", "has no rows")):
        with pytest.raises(CliError, match=message):
            parse_values(text, "--theta")
    write_csv(tmp_path / "t.csv", ["x", "y"], [[0.1, None]], {"k": "v"})
    assert (tmp_path / "t.csv").read_text() == "# k: v\nx,y\n0.1,\n"
    assert str(library_error(ValueError("bad input"))) == "Bad input."


def test_outputs_modes_failures_and_a_closed_reader(tmp_path, monkeypatch):
    mask, o = os.umask(0o027), Outputs()
    try:
        with o:
            o.path(tmp_path / "a").write_text("x")
        assert os.umask(0o027) == 0o027  # the process's own mask is left as it was
    finally:
        os.umask(mask)
    assert (tmp_path / "a").stat().st_mode & 0o777 == 0o640  # as open() would make it
    with pytest.raises(CliError, match="write '.*/b': Is a directory"), o:
        o.path(tmp_path / "a2").write_text("x")  # moved before b's move fails
        o.path(tmp_path / "b").write_text("x")
        (tmp_path / "b").mkdir()  # the move fails: every temporary left goes
    with o:  # each use starts afresh
        o.path(tmp_path / "c").write_text("x")
    assert sorted(p.name for p in tmp_path.iterdir()) == ["a", "a2", "b", "c"]
    sink = os.open(tmp_path / "sink", os.O_WRONLY | os.O_CREAT)

    class Closed:
        def write(self, text):
            raise BrokenPipeError

        def fileno(self):
            return sink
    monkeypatch.setattr(sys, "stdout", Closed())
    assert emit("x") == 1
    os.write(sink, b"after")  # the descriptor now writes to /dev/null, so the exit's flush cannot fail
    os.close(sink)
    assert (tmp_path / "sink").read_bytes() == b""


# (arguments, the flag the one-line message must name); each exits 2 and writes nothing.
ERRORS = [
    (["model-design", "--freq", "11.7", "--f-over-d", "0.4", "--edge-illumination", "12"],
     "--edge-illumination"),
    (["model-design", "--freq", "11.7", "--f-over-d", "0.4", "--edge-illumination", "-12",
      "--beamwidth", "30"], "--beamwidth"),
    (["model-design", "--freq", "11.7", "--f-over-d", "0.4"],
     "--edge-illumination: is needed with --f-over-d."),
    (["model-design", "--freq", "10", "--beamwidth", "400"], "invalid input"),
    (["response", "--aper", "1", "--slant", "9", "--freq", "10"], "required: --aperture"),
    (["dish", *HORN, "--f-over-d", "0.4", "--freq", "0"], "--freq"),
    (["dish", *HORN, "--f-over-d", "-0.4", "--freq", "11"], "--f-over-d"),
    (["dish", *HORN, "--f-over-d", "0.4", "--freq", "12:10:1"], "--freq"),
    (["dish", *HORN, "--f-over-d", "0.4", "--freq", "1:1e9:1"], "--freq"),
    (["dish", *HORN, "--f-over-d", "0.4", "--freq", "11", "--pattern-plot", "p.txt"],
     "--pattern-plot"),
    (["dish-design", "--f-over-d", "0.4", "--freq", "11", "--phase-deviation", "0:1"],
     "--phase-deviation"),
    (["design", "--freq", "ten", "--beamwidth", "30", "--phase-deviation", "0.1"], "--freq"),
    (["response", "--aperture", "0", "--slant", "9", "--freq", "10"], "--aperture"),
    (["response", "--aperture", "1", "--slant", "9", "--freq", "0:1e9:1e-3"], "1e+12 rows"),
    (["pattern", "--aperture", "1", "--slant", "9", "--freq", "10", "--unit", "ft"], "ft"),
    (["pattern", "--aperture", "1", "--slant", "9", "--freq", "10", "--plot", "p.txt"], "--plot"),
    (["design", "--freq", "10", "--beamwidth", "30", "--phase-deviation", "0.1",
      "--level-index", "0"], "--level-index"),
    (["dish-design", "--f-over-d", "0.4"], "required: --freq"),
    (["model-design", "--beamwidth", "30"], "required: --freq"),
    (["dish", "--aperture", "1", "--slant", "3", "--freq", "11"], "required: --f-over-d"),
    (["response", "--slant", "9", "--freq", "10"], "required: --aperture"),
    (["response", "--aperture", "1", "--slant", "9"], "required: --freq"),
    (["pattern", "--aperture", "1", "--slant", "9"], "required: --freq"),
    (["dish", "--aperture", "1", "--slant", "3", "--f-over-d", "0.4"], "required: --freq"),
]


@pytest.mark.parametrize("argv,flag", ERRORS)
def test_errors_name_the_flag_exit_2_and_write_nothing(capsys, tmp_path, argv, flag):
    status, out, err = run(capsys, *argv, "--csv", str(tmp_path / "t.csv"))
    assert status == 2 and out == "" and list(tmp_path.iterdir()) == []
    assert len(err.splitlines()) == 1 and err.endswith(".\n") and flag in err, err
    assert err.split("error: ")[1][0] in "-ABCDEFGHIJKLMNOPQRSTUVWXYZ", err


# A failing step after the CSV was made: no file is left, the status is 2.
@pytest.mark.parametrize("argv", [
    ["response", "--aperture", "2.6118", "--slant", "28.8985", "--freq", "9:11:1"],
    ["design", "--freq", "10", "--beamwidth", "30", "--phase-deviation", "0.1"],
    ["dish", *HORN, "--f-over-d", "0.4", "--freq", "11", "--pattern-plot", "{dir}/p.svg"],
    ["pattern", "--aperture", "1", "--slant", "9", "--freq", "10"],
])
@pytest.mark.parametrize("plot", ["/nonexistent/x.svg", "{dir}/folder.svg"])
def test_outputs_are_all_or_nothing(capsys, tmp_path, argv, plot):
    (tmp_path / "folder.svg").mkdir()
    figures = plt.get_fignums()
    argv = [a.format(dir=tmp_path) for a in argv + ["--plot", plot]]
    status, out, err = run(capsys, *argv, "--csv", str(tmp_path / "t.csv"))
    assert status == 2 and out == "" and "--plot" in err
    assert [p.name for p in tmp_path.iterdir()] == ["folder.svg"]
    argv[-1] = str(tmp_path / "f.v2.svg")  # the format is the last suffix's
    assert run(capsys, *argv, "--csv", str(tmp_path / "t.csv"))[0] == 0
    assert b"<svg" in (tmp_path / "f.v2.svg").read_bytes()[:400] and (tmp_path / "t.csv").exists()
    assert plt.get_fignums() == figures  # each figure closed once saved


# Hostile inputs to each face: each must be refused promptly, never hang.
PYTHON = ["model.pattern(1, 1e-322, 10, [0, 10])", "model.pattern(1e30, 1e30, 10, [0, 10])",
          "model.dish(1e30, 1e30, 10, f_over_d=0.4)", "model.beamwidth(1, 1e-300, 10)",
          "model.phase_centre(1e30, 1e30, 10, 60)", "model.dish(0, 3, 11, f_over_d=0.4)"]
COMMANDS = [["pattern", "--aperture", "1", "--slant", "1e-322", "--freq", "10"],
            ["dish", "--aperture", "1e30", "--slant", "1e30", "--freq", "10", "--f-over-d",
             "0.4"],
            ["dish", "--aperture", "1", "--slant", "3", "--freq", "1:1e9:1", "--f-over-d", "0.4"]]
CHECK = ("import kelvor, sys\nimport numpy as np\nfrom kelvor import model\ntry:\n    r = {}\n"
         "except ValueError:\n    sys.exit(2)\nsys.exit(0 if np.all(r.ok) else 2)\n")


@pytest.mark.parametrize("argv", [["-c", CHECK.format(call)] for call in PYTHON]
                         + [["-m", "kelvor", *c] for c in COMMANDS])
def test_no_face_hangs(argv):
    env = dict(os.environ, MPLBACKEND="Agg")
    out = subprocess.run([sys.executable, *argv], capture_output=True, text=True, timeout=20,
                         env=env)
    assert out.returncode == 2, out.stderr
