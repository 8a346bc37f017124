"""Installs the zelcraft package from the build: the Python sources of
python/zelcraft and, from the staged package the CMake build makes
(build/python/zelcraft, or $ZELCRAFT_BUILD_DIR/python/zelcraft), the
extension module, the platform library beside it and the settings profiles.
Nothing is compiled or downloaded here: scripts/install-python.sh builds
first and installs with pip --no-build-isolation --no-index."""

import os
import re
import shutil
from pathlib import Path

from setuptools import setup
from setuptools.command.build_py import build_py
from setuptools.dist import Distribution

HERE = Path(__file__).resolve().parent
BUILD = Path(os.environ.get("ZELCRAFT_BUILD_DIR", HERE.parent / "build")).resolve()
STAGE = BUILD / "python" / "zelcraft"


class BuildWithExtension(build_py):
    """Copies the built binaries and profiles next to the Python sources."""

    def run(self):
        super().run()
        binaries = sorted(STAGE.glob("_core*.so")) + sorted(STAGE.glob("libtorcommon13r.so*"))
        if not any(p.name.startswith("_core") for p in binaries):
            raise SystemExit(f"no built extension in {STAGE}: build the project with CMake first")
        target = Path(self.build_lib) / "zelcraft"
        for path in binaries:
            shutil.copy2(path, target / path.name)
        if (STAGE / "profiles").is_dir():
            shutil.copytree(STAGE / "profiles", target / "profiles", dirs_exist_ok=True)


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
    cmdclass={"build_py": BuildWithExtension},
    distclass=BinaryDistribution,
    zip_safe=False,
)
