"""A pandas DataFrame as the extension's column tuples, read by the command
line's rules: numbers as they are (NaN and pandas' nullable types missing,
durations as seconds), categoricals by their codes (ordered ones as ordinal
fields in their order), object and string columns as texts (or, when every
value is a number, a date or a time of day, as those), datetime64 as dates
when every value is a midnight and as timestamps otherwise, bool as nominal
texts. The preparation run reads texts of dates and times as the command
line does (those the schema declares, and those that all are one), and
hands every column of timestamps over as its date and its time of day.

A column tuple is ("integer", int64 values, missing mask or None),
("real" | "date" | "time" | "timestamp", float64 values with NaN missing),
("text", int64 codes with -1 missing, list of texts) or ("objects", an
object array of texts and missing values, None), the texts read where they
are."""

import numpy as np
import pandas as pd
from pandas.api import types

from . import _core
from ._errors import ZelcraftInputError

_NS_PER_DAY = 86_400 * 10**9
_NS_PER_SECOND = 10**9


def column_names(frame):
    """The frame's column names as texts; two that read alike are refused."""
    names = [str(name) for name in frame.columns]
    seen = set()
    for name in names:
        if name == "":
            raise ZelcraftInputError("a column has an empty name")
        if name in seen:
            raise ZelcraftInputError(f"duplicate column name '{name}'")
        seen.add(name)
    return names


def _text_column(values):
    codes, uniques = pd.factorize(values, use_na_sentinel=True)
    texts = [u if isinstance(u, str) else _text_of(u) for u in uniques]
    return ("text", np.asarray(codes, dtype=np.int64), texts)


def _text_of(value):
    if isinstance(value, (bool, np.bool_)):
        return "True" if value else "False"
    return str(value)


def _real_column(values):
    return ("real", np.asarray(values, dtype=np.float64), None)


def _objects_column(series):
    """Texts and missing values, handed over as the objects they are."""
    return ("objects", series.to_numpy(dtype=object), None)


def _number_column(series):
    """A column of numbers as every reader takes it: whole numbers, reals
    (NaN and pandas' missing values missing) and durations as seconds; None
    for a column of another kind."""
    dtype = series.dtype
    if types.is_bool_dtype(dtype):
        return None
    if types.is_integer_dtype(dtype):
        return _integer_column(series)
    if isinstance(dtype, np.dtype) and dtype == np.float64:
        return _real_column(series.to_numpy())  # the frame's own array, not a copy
    if types.is_float_dtype(dtype):
        return _real_column(series.to_numpy(dtype=np.float64, na_value=np.nan))
    if types.is_timedelta64_dtype(dtype):
        return _real_column(series.dt.total_seconds())
    return None


def _integer_column(series):
    array = series.array
    if isinstance(array, pd.arrays.IntegerArray):
        return ("integer", np.asarray(array._data, dtype=np.int64), np.asarray(array._mask))
    values = series.to_numpy()
    if values.dtype == np.uint64 and len(values) and values.max() > np.iinfo(np.int64).max:
        return _real_column(values)
    return ("integer", values.astype(np.int64, copy=False), None)


def _nanoseconds(series):
    """Wall-clock nanoseconds since 1970 and the mask of missing values."""
    if getattr(series.dt, "tz", None) is not None:
        series = series.dt.tz_localize(None)
    ns = series.to_numpy(dtype="datetime64[ns]").view(np.int64)
    return ns, np.isnat(series.to_numpy(dtype="datetime64[ns]"))


def _datetime_column(series, storage):
    ns, missing = _nanoseconds(series)
    if storage is None:
        midnight = (ns[~missing] % _NS_PER_DAY == 0).all()
        storage = "date" if midnight else "timestamp"
    if storage == "date":
        values = (ns // _NS_PER_DAY).astype(np.float64)
    elif storage == "time":
        nanos = ns % _NS_PER_DAY
        values = (nanos // _NS_PER_SECOND) + (nanos % _NS_PER_SECOND) / 1e9
    elif storage == "timestamp":
        values = (ns // _NS_PER_SECOND) + (ns % _NS_PER_SECOND) / 1e9
    else:
        raise ZelcraftInputError(
            f"field '{series.name}': a column of dates and times cannot be read as {storage}")
    values = np.asarray(values, dtype=np.float64)
    values[missing] = np.nan
    return (storage, values, None)


def _ordinal_column(name, series, categories, missing_strings):
    """Ordinal texts as their codes 1..k in the order of `categories`."""
    order = {text: code for code, text in enumerate(categories, start=1)}
    codes, uniques = pd.factorize(series, use_na_sentinel=True)
    lookup = np.zeros(len(uniques) + 1, dtype=np.int64)
    for index, unique in enumerate(uniques):
        text = _text_of(unique)
        if text in order:
            lookup[index] = order[text]
        elif text not in missing_strings:
            row = int(np.argmax(codes == index)) + 1
            raise ZelcraftInputError(
                f"row {row}: '{text}' is not one of its categories (field '{name}')")
    values = lookup[codes]  # code -1 takes the last entry, 0
    return ("integer", values, values == 0)


def _categorical_column(name, series, spec, additions):
    categorical = series.array
    given = spec.get("categories")
    if categorical.ordered or given:
        if not given:
            additions.setdefault("level", "ordinal")
            additions["categories"] = [_text_of(c) for c in categorical.categories]
            return ("integer", categorical.codes.astype(np.int64) + 1, categorical.codes < 0)
        return _ordinal_column(name, series, given, set(spec.get("missingStrings", [])))
    categories = categorical.categories
    codes = categorical.codes.astype(np.int64)
    if types.is_numeric_dtype(categories.dtype) and not types.is_bool_dtype(categories.dtype):
        # Numbers chosen as categories are nominal numbers.
        additions.setdefault("level", "nominal")
        if types.is_integer_dtype(categories.dtype):
            return ("integer", np.asarray(categories, dtype=np.int64)[codes], codes < 0)
        values = np.asarray(categories, dtype=np.float64)[codes]
        values[codes < 0] = np.nan
        return _real_column(values)
    return ("text", codes, [_text_of(c) for c in categories])


def _object_kind(series):
    kind = types.infer_dtype(series, skipna=True)
    if kind == "mixed":
        # NaT among other objects makes a column "mixed" that is not.
        kind = types.infer_dtype(series.dropna(), skipna=True)
    return kind


def _object_column(name, series, storage):
    values = series.to_numpy(dtype=object)
    if _core.text_objects(values):
        return ("objects", values, None)
    kind = _object_kind(series)
    if kind == "string":
        return _objects_column(series)
    if kind in ("integer",) and storage in (None, "integer"):
        return _integer_column(_whole_numbers(name, series))
    if kind in ("floating", "mixed-integer-float", "integer") and storage in (None, "real"):
        return _real_column(pd.to_numeric(series, errors="coerce"))
    if kind in ("datetime", "datetime64", "date"):
        return _datetime_column(pd.to_datetime(series), storage)
    if kind == "time" and storage in (None, "time"):
        seconds = [np.nan if pd.isna(value) else
                   value.hour * 3600 + value.minute * 60 + value.second + value.microsecond / 1e6
                   for value in series]
        return ("time", np.asarray(seconds, dtype=np.float64), None)
    if kind == "empty":
        return _real_column(np.full(len(series), np.nan))
    return _text_column(series)


def _whole_numbers(name, series):
    """Python ints as a nullable 64-bit column; one that does not fit is
    refused with its row."""
    try:
        return series.astype("Int64")
    except (OverflowError, TypeError):
        low, high = np.iinfo(np.int64).min, np.iinfo(np.int64).max
        for row, value in enumerate(series, start=1):
            if not pd.isna(value) and not low <= value <= high:
                raise ZelcraftInputError(
                    f"row {row}: {value} does not fit in 64 bits as a whole number; give the "
                    f"column floats to read it as real numbers (field '{name}')") from None
        raise


def _with_storage(name, series, storage):
    """A column the schema declares another storage for than its dtype."""
    texts = types.is_object_dtype(series.dtype) or isinstance(series.dtype, pd.StringDtype)
    if storage in ("date", "time", "timestamp") and texts and _object_kind(series) == "string":
        return _objects_column(series)  # read by the run, as the command line reads cells
    if storage == "string":
        return _text_column(series.astype(object).where(series.notna(), None))
    if storage == "real" and types.is_numeric_dtype(series.dtype):
        return _real_column(series.astype("Float64").to_numpy(dtype=np.float64, na_value=np.nan))
    if storage in ("date", "timestamp") and types.is_object_dtype(series.dtype):
        try:
            return _datetime_column(pd.to_datetime(series), storage)
        except (ValueError, TypeError) as error:
            raise ZelcraftInputError(f"field '{name}': {error}") from None
    if storage == "time" and types.is_object_dtype(series.dtype):
        try:
            texts = series.map(lambda value: value if pd.isna(value) else str(value))
            seconds = pd.to_timedelta(texts).dt.total_seconds()
        except (ValueError, TypeError) as error:
            raise ZelcraftInputError(f"field '{name}': {error}") from None
        return ("time", seconds.to_numpy(dtype=np.float64), None)
    if storage == "integer" and types.is_float_dtype(series.dtype):
        values = series.to_numpy(dtype=np.float64)
        present = ~np.isnan(values)
        if (values[present] != np.trunc(values[present])).any():
            raise ZelcraftInputError(f"field '{name}' holds numbers that are not whole")
        return ("integer", np.where(present, values, 0).astype(np.int64), ~present)
    return None


def _checked(name, column):
    """The column tuple, once its values are ones a document can carry:
    no infinite numbers. Frames handed to a build have their texts checked
    by the build itself; replayed ones here, by the same rule."""
    if column[0] not in ("integer", "text", "objects") and np.isinf(column[1]).any():
        raise ZelcraftInputError(f"field '{name}' holds an infinite number")
    return column


def _checked_texts(name, column):
    """A replayed text column, once its texts are ones a document can carry."""
    if column[0] == "text":
        found = _core.unwritable_text(column[2])
        if found is not None:
            index, what = found
            row = int(np.argmax(column[1] == index)) + 1
            raise ZelcraftInputError(f"row {row}: {what} (field '{name}')")
    return column


def column_tuple(name, series, spec, additions):
    """The column tuple of one column; `additions` collects schema entries
    the column's dtype implies (the level and categories of an ordered
    categorical)."""
    return _checked(name, _column_tuple(name, series, spec, additions))


def _column_tuple(name, series, spec, additions):
    storage = spec.get("storage")
    dtype = series.dtype
    if types.is_datetime64_any_dtype(dtype):
        return _datetime_column(series, storage)
    if storage is not None:
        declared = _with_storage(name, series, storage)
        if declared is not None:
            return declared
    if isinstance(dtype, pd.CategoricalDtype):
        return _categorical_column(name, series, spec, additions)
    if spec.get("level") == "ordinal" and spec.get("categories"):
        return _ordinal_column(name, series, spec["categories"],
                               set(spec.get("missingStrings", [])))
    if types.is_bool_dtype(dtype):
        return _text_column(series.astype(object).where(series.notna(), None))
    numbers = _number_column(series)
    if numbers is not None:
        return numbers
    return _object_column(name, series, storage)


def frame_columns(frame, schema, extra=None):
    """(names, column tuples, schema) for a frame and the `extra` columns (a
    dict of name to Series of the same length): the schema given, with what
    the dtypes imply added where it says nothing."""
    extra = extra or {}
    series = [frame.iloc[:, index] for index in range(frame.shape[1])]
    series += [pd.Series(values) for values in extra.values()]
    names = column_names(pd.DataFrame(columns=list(frame.columns) + list(extra)))
    columns = []
    fields = {name: dict(spec) for name, spec in schema.items()}
    for name, values in zip(names, series):
        if len(values) != len(frame):
            raise ZelcraftInputError(f"column '{name}' has another length than the data")
        spec = fields.get(name, {})
        additions = {}
        columns.append(column_tuple(name, values, spec, additions))
        if additions:
            fields[name] = {**additions, **spec}
    return names, columns, fields


def replay_tuple(name, series, value_type):
    """The column tuple that feeds a document's input of the given type
    (integer, real, text, date, time, timestamp)."""
    return _checked_texts(name, _checked(name, _replay_tuple(series, value_type)))


def _replay_tuple(series, value_type):
    dtype = series.dtype
    if types.is_datetime64_any_dtype(dtype):
        storage = value_type if value_type in ("date", "time", "timestamp") else "timestamp"
        return _datetime_column(series, storage)
    if value_type == "text" or isinstance(dtype, pd.CategoricalDtype) or \
            types.is_bool_dtype(dtype):
        # Texts read as the document's type the way a file's cells do.
        return _text_column(series.astype(object).where(series.notna(), None))
    numbers = _number_column(series)
    if numbers is not None:
        return numbers
    if types.is_object_dtype(dtype):
        # Numbers held as objects (an array of mixed columns) read as numbers.
        kind = _object_kind(series)
        if kind == "integer":
            return _integer_column(_whole_numbers(str(series.name), series))
        if kind in ("floating", "mixed-integer-float"):
            return _real_column(pd.to_numeric(series, errors="coerce"))
    return _text_column(series)
