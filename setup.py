"""The build step of pyproject.toml: CMake builds the extension stepctl._core from this tree,
setuptools packages it with python/stepctl/. The version is the one CMakeLists.txt's project()
gives every program."""
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent
(ROOT / "build-python").mkdir(exist_ok=True)  # setuptools wants its egg-info folder to exist


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(StepCtl VERSION ([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    """Configures a tree of its own below the build folder and builds the module's target only."""

    def build_extension(self, ext):
        tree = Path(self.build_temp).resolve() / "cmake"
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(tree), "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Release", "-DBUILD_TESTING=OFF",
                        "-DSTEPCTL_BUILD_GUI=OFF", f"-DPython_EXECUTABLE={sys.executable}"],
                       check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
        subprocess.run(["cmake", "--build", str(tree), "--target", "stepctl_python",
                        "--parallel", jobs], check=True)
        built = next((tree / "python" / "stepctl").glob("_core*.so"))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(
    version=project_version(),
    packages=["stepctl"],
    package_dir={"stepctl": "python/stepctl"},
    package_data={"stepctl": ["__init__.pyi", "pymeasure.pyi", "py.typed"]},
    ext_modules=[Extension("stepctl._core", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    # Out of the way of the CMake presets' build/ tree.
    options={"build": {"build_base": "build-python"}, "egg_info": {"egg_base": "build-python"}},
)
