"""Zelcraft for Python: prepare the fields of a data set for predictive
modelling from pandas DataFrames, read the preparation document and its
statistics as Python objects, and replay it on new data.

    import zelcraft
    prep = zelcraft.prepare(df, target="churn")
    prep.fields, prep.statistics, prep.summary, prep.warnings
    prepared = prep.transform(new_df)
"""

from . import _core
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
