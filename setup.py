"""The compiled part of the Python package, built by the project's own CMake
build: build_ext configures the source tree (tests off) in a folder of its own,
builds the target _kelvor and copies the module into the package. Everything
else about the package is in pyproject.toml.

The module is built without oneTBB (KELVOR_TBB=OFF: the batch rows are spread
with std::thread and the feed library's jobs run in turn), so that the wheel
needs no libtbb on the machine it is installed on.

KELVOR_CMAKE_BUILD_DIR names an already configured CMake build folder to use
instead (the C++ developers' build/, for instance), so that a wheel of a tree
just built costs no compilation; the module then links as that build does.
"""

import os
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext: Extension) -> None:
        build = os.environ.get("KELVOR_CMAKE_BUILD_DIR")
        if build is None:
            build = str(Path(self.build_temp).resolve() / "cmake")
            generator = ["-G", "Ninja"] if shutil.which("ninja") else []
            subprocess.run(["cmake", "-S", str(SOURCE), "-B", build, *generator,
                            "-DCMAKE_BUILD_TYPE=Release", "-DKELVOR_TESTS=OFF",
                            # Rows spread by std::thread: the wheel needs no system libtbb.
                            "-DKELVOR_TBB=OFF",
                            f"-DPython_EXECUTABLE={sys.executable}"], check=True)
        subprocess.run(["cmake", "--build", build, "--target", "_kelvor"], check=True)
        built = next((Path(build) / "python" / "kelvor").glob("_kelvor.*"))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


# setuptools keeps its own files (egg-info, build) out of the source tree, in a
# folder it expects to exist already; a fresh clone has none.
Path("build-python").mkdir(exist_ok=True)

setup(ext_modules=[Extension("kelvor._kelvor", sources=[])],
      cmdclass={"build_ext": CMakeBuild},
      options={"build": {"build_base": "build-python"},
               "egg_info": {"egg_base": "build-python"}})
