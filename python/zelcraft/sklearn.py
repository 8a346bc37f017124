"""ZelcraftPreparer: a scikit-learn transformer that prepares its training
data with Zelcraft and replays the preparation document on any data.

Its parameters are `settings` (a dict, a JSON file or a profile name),
`schema`, `categorical`, `frequency_weight`, `progress`, and any settings
key by its own name, which wins over `settings`:

    ZelcraftPreparer(settings="linear", supervisedBinning=False)

so that a grid search can switch steps on and off
(`{"zelcraft__supervisedBinning": [True, False]}` in a pipeline). The
prepared fields in use come out, the target and weights left aside;
categorical and ordinal ones as one-hot columns ("onehot"), as their index
among the categories seen in training with -1 for missing or unseen
("codes"), or as pandas categoricals ("pandas")."""

import numpy as np
import pandas as pd
from sklearn.base import BaseEstimator, TransformerMixin
from sklearn.utils.validation import check_is_fitted

from ._options import setting_keys
from ._run import prepare

_BASE_PARAMS = ("settings", "schema", "categorical", "frequency_weight", "progress",
                "handle_unknown")
_CATEGORICAL = ("onehot", "codes", "pandas")
_NOT_FEATURES = ("target", "transformed target", "frequency weight", "analysis weight")


class ZelcraftPreparer(TransformerMixin, BaseEstimator):
    """Prepares X (with y as the target) in fit; replays the document in
    transform."""

    def __init__(self, settings=None, schema=None, categorical="onehot", frequency_weight=None,
                 progress=False, handle_unknown="missing", **setting_values):
        self.settings = settings
        self.schema = schema
        self.categorical = categorical
        self.frequency_weight = frequency_weight
        self.progress = progress
        self.handle_unknown = handle_unknown
        self._setting_names = []
        self._set_settings(setting_values)

    def _set_settings(self, values):
        known = setting_keys()
        for key, value in values.items():
            if key not in known:
                raise ValueError(f"Invalid parameter {key!r} for estimator {type(self).__name__}: "
                                 "neither a parameter nor a settings key")
            setattr(self, key, value)
            if key not in self._setting_names:
                self._setting_names.append(key)

    def get_params(self, deep=True):
        params = {name: getattr(self, name) for name in _BASE_PARAMS}
        params.update({name: getattr(self, name) for name in self._setting_names})
        return params

    def set_params(self, **params):
        settings = {}
        for key, value in params.items():
            if key in _BASE_PARAMS:
                setattr(self, key, value)
            else:
                settings[key] = value
        self._set_settings(settings)
        return self

    @staticmethod
    def _frame(X):
        if isinstance(X, pd.DataFrame):
            return X
        X = np.asarray(X)
        if X.ndim != 2:
            raise ValueError("X must be two-dimensional")
        return pd.DataFrame(X, columns=[f"x{i}" for i in range(X.shape[1])])

    def fit(self, X, y=None):
        if self.categorical not in _CATEGORICAL:
            raise ValueError(f"categorical must be one of {', '.join(_CATEGORICAL)}")
        frame = self._frame(X)
        if isinstance(X, pd.DataFrame):
            self.feature_names_in_ = np.asarray([str(c) for c in X.columns], dtype=object)
        self.n_features_in_ = frame.shape[1]
        schema = dict(self.schema or {})
        target = None
        extra = None
        if y is not None:
            y = pd.Series(np.asarray(y)) if not isinstance(y, pd.Series) else y
            target = str(y.name) if y.name is not None else "target"
            extra = {target: y}
            # Labels to predict are categories; numbers in floating point are
            # a continuous target.
            if not pd.api.types.is_float_dtype(y.dtype) and "level" not in schema.get(target, {}):
                schema[target] = {**schema.get(target, {}), "level": "nominal"}
        overrides = {name: getattr(self, name) for name in self._setting_names}
        self.preparation_ = prepare(frame, target=target, frequency_weight=self.frequency_weight,
                                    schema=schema, settings=self.settings, overrides=overrides,
                                    progress=self.progress, extra=extra)
        self._learn_layout(frame)
        return self

    def _learn_layout(self, frame):
        """The features and, for categorical ones, the categories training
        gave them."""
        prepared = self.preparation_.transform(frame, progress=self.progress)
        self.features_ = []
        for field in self.preparation_.field_facts():
            if not field["enabled"] or field["class"] in _NOT_FEATURES:
                continue
            if field["name"] not in prepared.columns:
                continue
            categorical = field["optype"] in ("categorical", "ordinal")
            categories = None
            if categorical:
                values = pd.Series(prepared[field["name"]]).dropna().unique()
                categories = sorted(values.tolist(), key=lambda v: (isinstance(v, str), v))
            self.features_.append((field["name"], field["optype"], categories))
        names = []
        for name, _, categories in self.features_:
            if categories is not None and self.categorical == "onehot":
                names += [f"{name}_{_label(c)}" for c in categories]
            else:
                names.append(name)
        self._names_out = np.asarray(names, dtype=object)

    def transform(self, X):
        check_is_fitted(self, "preparation_")
        frame = self._frame(X)
        prepared = self.preparation_.transform(frame, progress=self.progress,
                                               handle_unknown=self.handle_unknown)
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
        return self._names_out.copy()

    def _more_tags(self):
        return {"allow_nan": True, "X_types": ["2darray", "dataframe", "categorical", "string"]}


def _label(value):
    if isinstance(value, float) and value.is_integer():
        return str(int(value))
    return str(value)
