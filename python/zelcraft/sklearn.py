"""ZelcraftPreparer: a scikit-learn transformer that prepares its training
data with Zelcraft and replays the preparation document on any data.

Its parameters are `settings` (a dict, a JSON file or a profile name),
`schema`, `categorical`, `frequency_weight`, `target_level`,
`handle_unknown`, `progress`, and any settings key in snake case (or by
its own name), which wins over `settings`:

    ZelcraftPreparer(settings="linear", supervised_binning=False)

so that a grid search can switch steps on and off
(`{"zelcraft__supervised_binning": [True, False]}` in a pipeline). The
prepared fields in use come out, the target and weights left aside;
categorical and ordinal ones as one-hot columns ("onehot"), as their index
among the categories seen in training with -1 for missing ("codes"), or as
pandas categoricals ("pandas")."""

import numpy as np
import pandas as pd
from sklearn.base import BaseEstimator, TransformerMixin
from sklearn.utils.validation import check_array, check_is_fitted

from ._errors import ZelcraftArgumentError, ZelcraftInputError
from ._options import setting_keys, setting_value, snake_case
from ._run import prepare

_BASE_PARAMS = ("settings", "schema", "categorical", "frequency_weight", "target_level",
                "handle_unknown", "progress")
_CATEGORICAL = ("onehot", "codes", "pandas")
_TARGET_LEVELS = ("auto", "continuous", "nominal", "ordinal")
_NOT_FEATURES = ("target", "transformed target", "frequency weight", "analysis weight")


class ZelcraftPreparer(TransformerMixin, BaseEstimator):
    """Prepares X (with y as the target) in fit; replays the document in
    transform.

    `target_level` is the level of y: "auto" takes labels (texts, flags,
    whole numbers of no more distinct values than the settings'
    "maxNOfUniqueCategories") as nominal and other numbers as continuous;
    "continuous", "nominal" and "ordinal" say it. `handle_unknown` is what
    a value of a categorical field that training never saw becomes:
    "missing" (the default), "warn" (missing, with a ZelcraftWarning) or
    "error".
    """

    def __init__(self, settings=None, schema=None, categorical="onehot", frequency_weight=None,
                 target_level="auto", handle_unknown="missing", progress=False,
                 **setting_values):
        self.settings = settings
        self.schema = schema
        self.categorical = categorical
        self.frequency_weight = frequency_weight
        self.target_level = target_level
        self.handle_unknown = handle_unknown
        self.progress = progress
        for key, value in setting_values.items():
            setattr(self, _parameter_name(key), value)

    def _setting_params(self):
        """The settings keys given as parameters: snake-case name -> key."""
        names = {snake_case(key): key for key in setting_keys()}
        return {name: names[name] for name in vars(self) if name in names}

    def get_params(self, deep=True):
        params = {name: getattr(self, name) for name in _BASE_PARAMS}
        params.update({name: getattr(self, name) for name in self._setting_params()})
        return params

    def set_params(self, **params):
        for key, value in params.items():
            setattr(self, key if key in _BASE_PARAMS else _parameter_name(key), value)
        return self

    def _frame(self, X, fitting):
        """X as a DataFrame: a frame as it is (after an array fit, by
        position), an array's columns named after the training frame's (or
        x0, x1, ...), by position."""
        if isinstance(X, pd.DataFrame):
            frame = X
            if not fitting and not hasattr(self, "feature_names_in_"):
                # Fitted on an array: a frame too is taken by position.
                _check_width(self, frame.shape[1], fitting)
                frame = frame.set_axis([f"x{i}" for i in range(frame.shape[1])], axis=1)
        else:
            frame = pd.DataFrame(_checked_array(X))
            _check_width(self, frame.shape[1], fitting)
            names = getattr(self, "feature_names_in_", None)
            if fitting or names is None:
                names = [f"x{i}" for i in range(frame.shape[1])]
            frame.columns = list(names)
        if len(frame) == 0:
            raise ZelcraftInputError("X has 0 samples: a preparation needs rows")
        for name, dtype in frame.dtypes.items():
            if pd.api.types.is_complex_dtype(dtype):
                raise ZelcraftInputError(f"column '{name}' holds complex numbers")
        return frame

    def fit(self, X, y=None):
        _check_choice("categorical", self.categorical, _CATEGORICAL)
        _check_choice("target_level", self.target_level, _TARGET_LEVELS)
        _check_choice("handle_unknown", self.handle_unknown, ("missing", "warn", "error"))
        for name in ("feature_names_in_", "n_features_in_"):
            self.__dict__.pop(name, None)
        frame = self._frame(X, fitting=True)
        if len(frame) < 2:
            raise ZelcraftInputError("X has 1 sample: a preparation needs at least 2")
        if isinstance(X, pd.DataFrame):
            self.feature_names_in_ = np.asarray([str(c) for c in X.columns], dtype=object)
        self.n_features_in_ = frame.shape[1]
        schema = dict(self.schema or {})
        overrides = {key: getattr(self, name) for name, key in self._setting_params().items()}
        target = None
        extra = None
        if y is not None:
            y = _target_series(y, len(frame))
            target = str(y.name) if y.name is not None else "target"
            extra = {target: y}
            if "level" not in schema.get(target, {}):
                limit = setting_value(self.settings, overrides, "maxNOfUniqueCategories")
                level = _target_level(y, self.target_level, float(limit))
                schema[target] = {**schema.get(target, {}), "level": level}
        self.preparation_ = prepare(frame, target=target, frequency_weight=self.frequency_weight,
                                    schema=schema, settings=self.settings, overrides=overrides,
                                    progress=self.progress, extra=extra)
        self._learn_layout(frame)
        return self

    def _learn_layout(self, frame):
        """The features and, for categorical ones, the categories training
        gave them."""
        prepared = self.preparation_.transform(frame, progress=self.progress)
        features = []
        for field in self.preparation_.field_facts():
            if not field["enabled"] or field["class"] in _NOT_FEATURES:
                continue
            if field["name"] not in prepared.columns:
                continue
            categories = None
            if field["optype"] in ("categorical", "ordinal"):
                values = pd.Series(prepared[field["name"]]).dropna().unique()
                categories = sorted(values.tolist(), key=lambda v: (isinstance(v, str), v))
            features.append((field["name"], field["optype"], categories))
        self.features_ = features
        names = []
        for name, _, categories in features:
            if categories is not None and self.categorical == "onehot":
                names += [f"{name}_{_label(c)}" for c in categories]
            else:
                names.append(name)
        self.feature_names_out_ = np.asarray(names, dtype=object)

    def fit_transform(self, X, y=None, **fit_params):
        """fit, then X prepared as training data: each target mean takes the
        value of the rows of the other folds (row position modulo 5), so that
        the model fitted next does not see a row's own target."""
        self.fit(X, y)
        return self._transform(X, training=y is not None, y=y)

    def transform(self, X):
        return self._transform(X, training=False)

    def _transform(self, X, training, y=None):
        check_is_fitted(self, "preparation_")
        frame = self._frame(X, fitting=False)
        if training:
            # The target means of the training rows are those of the other
            # folds: the replay reads the target beside X.
            y = _target_series(y, len(frame))
            frame = frame.assign(**{str(y.name) if y.name is not None else "target":
                                    y.to_numpy()})
        prepared = self.preparation_.transform(frame, progress=self.progress,
                                               handle_unknown=self.handle_unknown,
                                               training=training)
        if self.categorical == "pandas":
            columns = {}
            for name, optype, categories in self.features_:
                values = prepared[name]
                if categories is not None:
                    values = pd.Categorical(values, categories=categories,
                                            ordered=optype == "ordinal")
                columns[name] = values
            return pd.DataFrame(columns, index=frame.index)
        blocks = []
        for name, _, categories in self.features_:
            values = prepared[name].to_numpy()
            if categories is None:
                blocks.append(values.astype(np.float64)[:, None])
                continue
            codes = pd.Categorical(values, categories=categories).codes
            if self.categorical == "codes":
                blocks.append(codes.astype(np.float64)[:, None])
            else:
                onehot = np.zeros((len(values), len(categories)), dtype=np.float64)
                present = codes >= 0
                onehot[np.flatnonzero(present), codes[present]] = 1.0
                blocks.append(onehot)
        if not blocks:
            return np.empty((len(frame), 0))
        return np.hstack(blocks)

    def get_feature_names_out(self, input_features=None):
        check_is_fitted(self, "preparation_")
        return self.feature_names_out_.copy()

    def _more_tags(self):
        return {
            "allow_nan": True,
            "X_types": ["2darray", "string"],
            "_xfail_checks": {
                "check_fit_score_takes_y": "feature selection drops every field of ten rows "
                                           "of noise, and a build with no usable input "
                                           "field is refused",
            },
        }


def _parameter_name(key):
    """The parameter of a settings key, given in snake case or as the key."""
    keys = setting_keys()
    if key in keys:
        return snake_case(key)
    if key in {snake_case(k) for k in keys}:
        return key
    raise ValueError(f"Invalid parameter {key!r} for estimator ZelcraftPreparer: neither a "
                     "parameter nor a settings key")


def _check_choice(name, value, choices):
    if value not in choices:
        raise ZelcraftInputError(f"{name}: one of {', '.join(choices)}, not {value!r}")


def _check_width(estimator, width, fitting):
    if fitting or not hasattr(estimator, "n_features_in_"):
        return
    if width != estimator.n_features_in_:
        raise ZelcraftInputError(f"X has {width} features, but ZelcraftPreparer is expecting "
                                 f"{estimator.n_features_in_} features as input")


def _checked_array(X):
    """A two-dimensional array of any dtype, NaN allowed; scikit-learn's
    messages for sparse, one-dimensional and complex data."""
    try:
        return check_array(X, dtype=None, force_all_finite=False, ensure_min_samples=0)
    except TypeError as error:
        raise ZelcraftArgumentError(str(error)) from None
    except ValueError as error:
        raise ZelcraftInputError(str(error)) from None


def _target_series(y, rows):
    if isinstance(y, pd.DataFrame):
        if y.shape[1] != 1:
            raise ZelcraftInputError(f"y has {y.shape[1]} columns: a preparation takes one target")
        y = y.iloc[:, 0]
    if not isinstance(y, pd.Series):
        values = np.asarray(y)
        if values.ndim == 2 and values.shape[1] == 1:
            values = values[:, 0]
        if values.ndim != 1:
            raise ZelcraftInputError(f"y has the shape {values.shape}: one value per row")
        y = pd.Series(values)
    if len(y) != rows:
        raise ZelcraftInputError(f"y has {len(y)} values for {rows} rows of X")
    return y


def _target_level(y, asked, limit):
    """The level of the target: `asked` unless "auto"."""
    if asked != "auto":
        return asked
    dtype = y.dtype
    if pd.api.types.is_bool_dtype(dtype) or not pd.api.types.is_numeric_dtype(dtype):
        return "nominal"
    values = y.dropna().to_numpy(dtype=np.float64)
    if not np.all(np.isfinite(values)) or np.any(values != np.round(values)):
        return "continuous"
    return "nominal" if len(np.unique(values)) <= limit else "continuous"


def _label(value):
    if isinstance(value, float) and value.is_integer():
        return str(int(value))
    return str(value)
