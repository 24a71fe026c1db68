"""The package as its users get it: the README's example runs as written and is
clean under mypy --strict, and the wheel installs and imports in a fresh virtual
environment, away from the source tree."""

import os
import re
import subprocess
import sys
from pathlib import Path

SOURCE = Path(os.environ.get("KELVOR_SOURCE", Path(__file__).parents[2]))
BUILD = Path(os.environ.get("KELVOR_BUILD", SOURCE / "build"))


def readme_example(tmp_path):
    readme = (SOURCE / "README.md").read_text()
    section = readme[readme.index("## From Python"):]
    section = section[:section.index("\n## ", 1)]
    script = tmp_path / "example.py"
    script.write_text("\n".join(re.findall(r"```python\n(.*?)```", section, re.S)))
    return script


def test_readme_example_runs_and_is_clean_under_mypy_strict(tmp_path):
    script = readme_example(tmp_path)
    env = dict(os.environ, MYPYPATH=str(BUILD / "python"))
    mypy = subprocess.run(["mypy", "--strict", "--cache-dir", str(BUILD / "mypy-cache"),
                           str(script)], capture_output=True, text=True, env=env)
    assert mypy.returncode == 0, mypy.stdout
    run = subprocess.run([sys.executable, str(script)], cwd=tmp_path, capture_output=True,
                         text=True)
    assert run.returncode == 0 and (tmp_path / "pattern.png").exists(), run.stderr


def test_wheel_installs_and_imports_in_a_fresh_venv(tmp_path):
    # The wheel of the CMake build just made: setup.py reuses its module.
    env = dict(os.environ, KELVOR_CMAKE_BUILD_DIR=str(BUILD))
    subprocess.run([sys.executable, "-m", "build", "--no-isolation", "--wheel", "--outdir",
                    str(tmp_path), str(SOURCE)], check=True, env=env, capture_output=True)
    wheel, = tmp_path.glob("kelvor-*.whl")
    venv = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", "--without-pip",
                    str(venv)], check=True)
    subprocess.run([sys.executable, "-m", "pip", "--python", str(venv / "bin" / "python"),
                    "install", "--no-index", "--no-deps", "-q", str(wheel)], check=True)
    env.pop("PYTHONPATH", None)
    out = subprocess.run([str(venv / "bin" / "python"), "-c",
                          "import kelvor; print(kelvor.__file__, kelvor.__version__)"],
                         cwd=tmp_path, env=env, capture_output=True, text=True, check=True)
    where, version = out.stdout.split()
    assert Path(where).is_relative_to(venv)
    assert version == (SOURCE / "VERSION").read_text().strip() and version in wheel.name
