"""One Python API: the tables and the model take the same names in the same order,
refuse the same bad inputs, report failures the same way, and keep the old
names working with a DeprecationWarning."""

import ast
import inspect
import math
from pathlib import Path

import pytest

import kelvor
from kelvor import _kelvor, model

NAN, INF = math.nan, math.inf
PAIRS = [(kelvor.design, model.design), (kelvor.response, model.beamwidth),
         (kelvor.pattern, model.pattern)]


def kinds(function):
    p = inspect.signature(function).parameters.values()
    return ([q.name for q in p if q.kind == q.POSITIONAL_OR_KEYWORD],
            {q.name: q.default for q in p if q.kind == q.KEYWORD_ONLY})


@pytest.mark.parametrize("table,true", PAIRS)
def test_names_order_and_defaults_are_the_tables(table, true):
    (tp, tk), (mp, mk) = kinds(table), kinds(true)
    assert tp == mp and all(tk[k] == mk[k] for k in tk.keys() & mk.keys())
    assert {"unit"} <= tk.keys() & mk.keys()


def test_horn_first_everywhere():
    for f in (model.phase_centre, model.dish):
        assert kinds(f)[0][:3] == ["aperture_radius", "slant_radius", "freq_ghz"]


# (argument, bad value): the tables and the model both raise a ValueError naming it.
DESIGN = [("freq_ghz", 0), ("freq_ghz", NAN), ("freq_ghz", "10"), ("freq_ghz", True),
          ("freq_ghz", INF), ("beamwidth_deg", -30), ("level_db", INF), ("level_db", 0),
          ("phase_deviation", -0.1), ("phase_deviation", []), ("phase_deviation", [0.1, NAN]),
          ("phase_deviation", [[0.1]]), ("phase_deviation", ["0.1"]), ("unit", "ft")]
HORN = [("aperture_radius", 0), ("aperture_radius", -1), ("aperture_radius", NAN),
        ("aperture_radius", "1"), ("aperture_radius", INF), ("slant_radius", NAN),
        ("slant_radius", 0), ("slant_radius", False), ("unit", None)]
SPECTRUM = [("freq_ghz", []), ("freq_ghz", [10, -1]), ("freq_ghz", "10"), ("freq_ghz", [INF])]
ANGLES = [("theta_deg", [0, INF]), ("theta_deg", []), ("theta_deg", [NAN]),
          ("freq_ghz", NAN), ("freq_ghz", True)]
CASES = ([(0, *c) for c in DESIGN] + [(1, *c) for c in HORN + SPECTRUM]
         + [(2, *c) for c in HORN + ANGLES])
GOOD = [dict(freq_ghz=10, beamwidth_deg=30, phase_deviation=0.1, level_db=10),
        dict(aperture_radius=2.6, slant_radius=28.9, freq_ghz=10),
        dict(aperture_radius=2.6, slant_radius=28.9, freq_ghz=10, theta_deg=[0, 10])]


@pytest.mark.parametrize("pair,name,value", CASES)
def test_tables_and_model_refuse_the_same_inputs(pair, name, value):
    for function in PAIRS[pair]:
        with pytest.raises(ValueError, match=name):
            function(**{**GOOD[pair], name: value})


def test_failures_by_name_and_deprecated_names():
    assert [f.describe() for f in model.Failure] == _kelvor.model_failure_names()
    assert [v.describe() for v in model.Validity] == _kelvor.model_validity_names()
    assert model.Failure.NONE == 0 and kelvor.Failure is model.Failure
    with pytest.warns(DeprecationWarning, match="aperture_radius") as caught:
        old = model.beamwidth(aperture=2.6, slant=28.9, freq_ghz=10)
    assert old.beamwidth_deg == model.beamwidth(2.6, 28.9, 10).beamwidth_deg
    d = kelvor.design(10, 150, [0.1, 0.2], level_db=3)
    with pytest.warns(DeprecationWarning, match="real_cone") as also:
        assert list(d.no_cone) == [False, True] == list(~d.real_cone)
    assert caught[0].filename == also[0].filename == __file__  # the caller's line
    assert d.ok.all() and list(d.reason) == ["none"] * 2
    r = kelvor.response(0.5, 10, [2, 30], level_db=20)
    assert list(r.status) == [model.Failure.LEVEL_NOT_REACHED, model.Failure.NONE]
    for face in (kelvor, model):
        cut = face.pattern(2.6, 28.9, 10, 0)
        assert cut.ok and cut.status == model.Failure.NONE and cut.reason == "none"
    assert kelvor.design(10, 30, 0.1, level_db=25, level_index=4).ok.all()


def test_the_stub_declares_every_binding():
    stub = ast.parse((Path(_kelvor.__file__).parent / "_kelvor.pyi").read_text())
    declared = {n.name for n in stub.body if isinstance(n, (ast.FunctionDef, ast.ClassDef))} | {
        n.target.id for n in stub.body if isinstance(n, ast.AnnAssign)}
    assert {n for n in dir(_kelvor) if not n.startswith("_")} | {"__version__"} <= declared


def test_results_are_immutable():
    made = [model.design(10, 30, 0.1), model.beamwidth(2.6, 28.9, 10),
            model.pattern(2.6, 28.9, 10, 0), model.phase_centre(2.6, 28.9, 10, 30),
            model.dish(2.6, 28.9, 10, f_over_d=0.4), model.design_for_dish(0.4, 10),
            kelvor.design(10, 30, 0.1), kelvor.response(2.6, 28.9, 10),
            kelvor.pattern(2.6, 28.9, 10, 0)]
    for r in made:
        with pytest.raises(AttributeError):   # dataclasses.FrozenInstanceError
            r.unit = "cm"
