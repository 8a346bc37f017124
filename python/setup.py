"""Installs the zelcraft package from the build: the Python sources of
python/zelcraft and, from the staged package the CMake build makes
(build/python/zelcraft, or $ZELCRAFT_BUILD_DIR/python/zelcraft), the
extension module, the platform library beside it and the settings profiles.
When the build has not staged them yet, CMake builds them first (two jobs);
nothing is downloaded. An editable install (pip install -e) copies them
beside the Python sources, where they stay until the next editable install.
scripts/install-python.sh does all of it into a virtual environment."""

import os
import re
import shutil
import subprocess
from pathlib import Path

from setuptools import setup
from setuptools.command.build_py import build_py
from setuptools.command.develop import develop
from setuptools.dist import Distribution

HERE = Path(__file__).resolve().parent
BUILD = Path(os.environ.get("ZELCRAFT_BUILD_DIR", HERE.parent / "build")).resolve()
STAGE = BUILD / "python" / "zelcraft"


def _refuse(message):
    raise SystemExit(f"zelcraft: {message}")


def _binaries():
    return sorted(STAGE.glob("_core*.so")) + sorted(STAGE.glob("libtorcommon13r.so*"))


def _staged():
    """The staged binaries, built with CMake when they are missing."""
    if not any(p.name.startswith("_core") for p in _binaries()):
        cmake = shutil.which("cmake")
        if cmake is None:
            _refuse(f"no built extension in {STAGE}, and no cmake to build it: install cmake "
                    "or build the project first (see docs/python.md)")
        configure = [cmake, "-S", str(HERE.parent), "-B", str(BUILD), "-DCMAKE_BUILD_TYPE=Release"]
        if shutil.which("ccache"):
            configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        steps = [configure,
                 [cmake, "--build", str(BUILD), "-j", "2", "--target", "zelcraft_python_stage"]]
        if (BUILD / "CMakeCache.txt").is_file():
            steps = steps[1:]
        for step in steps:
            if subprocess.run(step, stdout=subprocess.DEVNULL, check=False).returncode != 0:
                _refuse(f"the CMake build of the extension failed ({' '.join(step[1:])})")
    return _binaries()


def _copy_beside(target):
    for path in _staged():
        shutil.copy2(path, target / path.name)
    if (STAGE / "profiles").is_dir():
        shutil.copytree(STAGE / "profiles", target / "profiles", dirs_exist_ok=True)


class BuildWithExtension(build_py):
    """Copies the built binaries and profiles next to the Python sources."""

    def run(self):
        super().run()
        _copy_beside(Path(self.build_lib) / "zelcraft")


class DevelopWithExtension(develop):
    """An editable install: the binaries and profiles beside the sources."""

    def run(self):
        _copy_beside(HERE / "zelcraft")
        super().run()


class BinaryDistribution(Distribution):
    def has_ext_modules(self):
        return True


setup(
    name="zelcraft",
    version=re.search(r"project\(Zelcraft VERSION ([\d.]+)",
                      (HERE.parent / "CMakeLists.txt").read_text()).group(1),
    description="Prepares the fields of a data set for predictive modelling",
    packages=["zelcraft"],
    package_dir={"zelcraft": "zelcraft"},
    python_requires=">=3.9",
    install_requires=["numpy", "pandas"],
    extras_require={"sklearn": ["scikit-learn"], "progress": ["tqdm"]},
    cmdclass={"build_py": BuildWithExtension, "develop": DevelopWithExtension},
    distclass=BinaryDistribution,
    zip_safe=False,
)
