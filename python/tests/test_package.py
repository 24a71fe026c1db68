"""The package as its users get it: the wheel installs in a fresh virtual
environment, imports away from the source tree, and is clean under
`mypy --strict -p kelvor` as installed; the README's example runs as written
and is clean under mypy --strict too."""

import os
import re
import subprocess
import sys
from pathlib import Path

import pytest

SOURCE = Path(os.environ.get("KELVOR_SOURCE", Path(__file__).parents[2]))
BUILD = Path(os.environ.get("KELVOR_BUILD", SOURCE / "build"))


@pytest.fixture(scope="module")
def venv(tmp_path_factory):
    """The Python of a fresh virtual environment holding the wheel of the CMake
    build just made (setup.py reuses its module), and the wheel."""
    where = tmp_path_factory.mktemp("wheel")
    env = dict(os.environ, KELVOR_CMAKE_BUILD_DIR=str(BUILD))
    subprocess.run([sys.executable, "-m", "build", "--no-isolation", "--wheel", "--outdir",
                    str(where), str(SOURCE)], check=True, env=env, capture_output=True)
    wheel, = where.glob("kelvor-*.whl")
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", "--without-pip",
                    str(where / "venv")], check=True)
    python = where / "venv" / "bin" / "python"
    subprocess.run([sys.executable, "-m", "pip", "--python", str(python), "install",
                    "--no-index", "--no-deps", "-q", str(wheel)], check=True)
    return python, wheel


def run(*argv, cwd):
    env = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "MYPYPATH")}
    return subprocess.run(argv, cwd=cwd, env=env, capture_output=True, text=True)


def test_wheel_installs_and_imports_in_a_fresh_venv(venv, tmp_path):
    python, wheel = venv
    out = run(str(python), "-c", "import kelvor; print(kelvor.__file__, kelvor.__version__)",
              cwd=tmp_path)
    where, version = out.stdout.split()
    assert Path(where).is_relative_to(python.parents[1])
    assert version == (SOURCE / "VERSION").read_text().strip() and version in wheel.name


def test_installed_package_and_readme_example_are_clean_under_mypy_strict(venv, tmp_path):
    python, _ = venv
    readme = (SOURCE / "README.md").read_text()
    section = readme[readme.index("## From Python"):]
    section = section[:section.index("\n## ", 1)]
    script = tmp_path / "example.py"
    script.write_text("\n".join(re.findall(r"```python\n(.*?)```", section, re.S)))
    for target in (["-p", "kelvor"], [str(script)]):
        mypy = run("mypy", "--strict", "--python-executable", str(python), "--cache-dir",
                   str(tmp_path / "cache"), *target, cwd=tmp_path)
        assert mypy.returncode == 0, mypy.stdout
    example = run(str(python), str(script), cwd=tmp_path)
    assert example.returncode == 0 and (tmp_path / "pattern.png").exists(), example.stderr
