"""Zelcraft for Python: prepare the fields of a data set for predictive
modelling from pandas DataFrames, read the preparation document and its
statistics as Python objects, and replay it on new data.

    import zelcraft
    prep = zelcraft.prepare(df, target="churn")
    prep.fields, prep.statistics, prep.summary, prep.warnings
    prepared = prep.transform(new_df)
"""

try:
    from . import _core
except ImportError as error:
    raise ImportError(f"zelcraft: its compiled extension cannot be loaded ({error}); build the "
                      "project and install the package with scripts/install-python.sh (see "
                      "docs/python.md)") from None
from ._errors import (ZelcraftArgumentError, ZelcraftComponentError, ZelcraftError,
                      ZelcraftInputError, ZelcraftWarning)
from ._options import profile_names, setting_keys
from ._run import prepare
from .preparation import Preparation, load

__version__ = _core.version

__all__ = [
    "Preparation", "ZelcraftArgumentError", "ZelcraftComponentError", "ZelcraftError", "ZelcraftInputError",
    "ZelcraftWarning", "load", "prepare", "profile_names", "setting_keys",
]
