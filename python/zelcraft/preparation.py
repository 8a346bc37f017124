"""Preparation: one preparation document with what it says (fields,
statistics, summary) and its replay on new data, a pandas DataFrame at once
or a Dask DataFrame partition by partition."""

import html
import threading
import warnings as _warnings

import numpy as np
import pandas as pd

from . import _core
from ._columns import column_names, replay_tuple
from ._errors import ZelcraftInputError, ZelcraftWarning
from ._progress import run_with_progress

def load(path):
    """The Preparation a saved document holds."""
    try:
        with open(path, encoding="utf-8") as file:
            document = file.read()
    except OSError as error:
        raise ZelcraftInputError(f"cannot read {path}: {error.strerror}") from None
    return Preparation(document)


def _number(text):
    try:
        value = float(text)
    except (TypeError, ValueError):
        return text
    return int(value) if value.is_integer() and "." not in text else value


class Preparation:
    """A preparation document, what it says, and its replay.

    Safe to use from several threads; pickles as its document.
    """

    def __init__(self, document, warnings=(), run=None, notes=()):
        self._document = document
        self._warnings = list(warnings)
        self._notes = list(notes)
        # What the build read, for the report: data set, records, fields.
        self._run = dict(run or {})
        self._lock = threading.Lock()
        self._facts = None
        self._replay = None
        try:
            self._facts = _core.document_facts(document)
        except ValueError as error:
            raise ZelcraftInputError(f"not a preparation document: {error}") from None

    def __getstate__(self):
        return {"document": self._document, "warnings": self._warnings, "run": self._run,
                "notes": self._notes}

    def __setstate__(self, state):
        self.__init__(state["document"], state["warnings"], state.get("run"),
                      state.get("notes", ()))

    def __repr__(self):
        used = sum(1 for f in self._facts["fields"] if f["enabled"])
        return f"<Preparation: {len(self._facts['fields'])} fields, {used} in use>"

    @property
    def document(self):
        """The PMML text."""
        return self._document

    @property
    def warnings(self):
        """[(code, message)]: the component's codes, None for the data source's;
        the steps that do not apply to the data among them."""
        return list(self._warnings)

    @property
    def notes(self):
        """What the build made of the data before the component saw it, said
        once: a whole-number target handed over as real numbers, columns of
        timestamps handed over as their dates and times of day, durations
        measured from the data's latest date."""
        return list(self._notes)

    def save(self, path):
        """Writes the document to `path`."""
        with open(path, "w", encoding="utf-8") as file:
            file.write(self._document)

    def report(self, path=None):
        """The report page (what `zelcraft report` draws): written to `path`
        when given, and returned as HTML text."""
        run = self._run
        html = _core.render_report(self._document, run.get("data_set", ""),
                                   run.get("records", -1), run.get("fields_read", -1),
                                   run.get("fields_handed", -1))
        if path is not None:
            with open(path, "w", encoding="utf-8") as file:
                file.write(html)
        return html

    @property
    def fields(self):
        """One row per field of the document: its name, the input field it
        comes from, its kind and level, whether it is used, the reason it
        was excluded (in words and as its key), its predictive power and the
        steps that made it. A column of timestamps, which went over as its
        date and its time of day, has a row of its own before them."""
        table = pd.DataFrame(_core.fields_table(self._document), columns=_FIELD_COLUMNS)
        table["predictive_power"] = table["predictive_power"].astype(np.float64)
        return table

    @property
    def statistics(self):
        """The field statistics, one row per reported field, with the
        columns of the command line's --stats file."""
        columns = ["field", "kind", "count", "missing", "mean", "min", "max", "sd", "skewness",
                   "categories"]
        table = pd.DataFrame(_core.statistics_table(self._document), columns=columns)
        for column in columns[2:]:
            table[column] = table[column].astype(np.float64)
        return table

    @property
    def summary(self):
        """The processing summary's counts, as numbers."""
        return {k: _number(v) for k, v in self._facts["summary"]["counts"].items()}

    def categories(self, name):
        """The categories the statistics report for a field, in their order."""
        for stats in self._facts["statistics"]:
            if stats["field"] == name and stats["discrete"]:
                return list(stats["categories"])
        return None

    def field_facts(self):
        """Everything the document says of each field, as dicts."""
        return [dict(f) for f in self._facts["fields"]]

    def _compiled(self):
        with self._lock:
            if self._replay is None:
                try:
                    self._replay = _core.Replay(self._document)
                except ValueError as error:
                    raise ZelcraftInputError(f"the document cannot be replayed: {error}") \
                        from None
            return self._replay

    def transform(self, data, all_fields=False, progress=None, handle_unknown="missing",
                  training=False):
        """The prepared fields of a DataFrame, the values `zelcraft apply`
        writes for the same data: one column per field the document uses
        (every derived field too with `all_fields`), missing values as NaN,
        NaT or None. Only the columns those fields depend on are read: the
        others, the target and the weights may be absent. A Dask DataFrame
        gives a Dask DataFrame, replayed partition by partition.

        With `training=True` the frame is the training data (its rows in the
        order the preparation read them): each target mean
        (NAME_targetMean) takes the value of the rows of the other folds,
        row position modulo 5, as `prepare --data-out` writes it, so that a
        model never sees a row's own target in its input. Not for Dask
        DataFrames.

        A value of a categorical field that training never saw is read as
        missing ("missing", the default), read as missing with a
        ZelcraftWarning per field ("warn"), or refused ("error")."""
        if handle_unknown not in _HANDLE_UNKNOWN:
            raise ZelcraftInputError("handle_unknown: one of " + ", ".join(_HANDLE_UNKNOWN) +
                                     f", not {handle_unknown!r}")
        if type(data).__module__.startswith("dask."):
            if training:
                raise ZelcraftInputError("training=True needs a pandas DataFrame: the folds "
                                         "are positions in the whole frame")
            return self._transform_partitions(data, all_fields, handle_unknown)
        if not isinstance(data, pd.DataFrame):
            raise ZelcraftInputError("data: a pandas DataFrame, not "
                                     f"{type(data).__name__}")
        replay = self._compiled()
        names = column_names(data)
        position = {name: i for i, name in enumerate(names)}
        parts = {field: (column, 2 if time_of_day else 1)
                 for field, column, time_of_day in replay.parts()}
        inputs = []
        for index, (name, value_type, optional, needed) in enumerate(replay.inputs(all_fields)):
            if not needed:
                continue
            column, part = name, 0
            if name not in position and name in parts:
                column, part = parts[name]
            if column not in position:
                if optional and not training:
                    continue
                if optional:
                    raise ZelcraftInputError(f"training=True needs the column '{name}': the "
                                             "target means of each row come from the "
                                             "targets of the other folds")
                raise ZelcraftInputError(_missing_column(name, parts))
            series = data.iloc[:, position[column]]
            read_as = "timestamp" if part else value_type
            inputs.append((index, replay_tuple(column, series, read_as), part))
        outputs, warned, unseen = run_with_progress(progress, lambda bar: replay.run(
            inputs, len(data), all_fields, handle_unknown != "error", bar, training))
        if unseen and handle_unknown == "error":
            raise ZelcraftInputError(_unseen_message(unseen[0], data.index))
        for message in warned:
            _warnings.warn("warning: " + message, ZelcraftWarning, stacklevel=2)
        if handle_unknown == "warn":
            for entry in unseen:
                _warnings.warn("warning: " + _unseen_message(entry, data.index) +
                               "; read as missing", ZelcraftWarning, stacklevel=2)
        return pd.DataFrame({out[0]: _column_values(out) for out in outputs}, index=data.index)

    def _transform_partitions(self, ddf, all_fields, handle_unknown):
        """A Dask DataFrame's prepared fields, replayed partition by
        partition; the stand-in values of an empty frame give the columns'
        types."""
        with _warnings.catch_warnings():
            _warnings.simplefilter("ignore")
            sample = ddf._meta_nonempty.head(1)
            meta = self.transform(sample, all_fields=all_fields).iloc[:0]
        return ddf.map_partitions(_replay_partition, self, all_fields, handle_unknown, meta=meta)

    def inverse(self, predictions, progress=None):
        """Predictions of the transformed target on the target's own scale."""
        replay = self._compiled()
        if not replay.has_inverse():
            raise ZelcraftInputError("the document has no target inverse")
        values = np.asarray(predictions, dtype=np.float64)
        result = run_with_progress(progress, lambda bar: replay.invert(values.ravel(), bar))
        if isinstance(predictions, pd.Series):
            return pd.Series(result, index=predictions.index, name=f"{predictions.name}_inverse")
        return result.reshape(values.shape)

    def _repr_html_(self):
        table = self.fields.to_html(index=False, na_rep="", escape=True)
        counts = ", ".join(f"{html.escape(k)} {v}" for k, v in self.summary.items())
        return f"<div><p><b>Zelcraft preparation</b> {counts}</p>{table}</div>"


_FIELD_COLUMNS = ["name", "source", "kind", "level", "type", "used", "reason", "reason_key",
                  "predictive_power", "steps"]


def _missing_column(name, parts):
    message = f"the document's field '{name}' is not a column of the data"
    if name in parts:
        message += f", nor is its column of timestamps '{parts[name][0]}'"
    return message


def _replay_partition(partition, preparation, all_fields, handle_unknown):
    return preparation.transform(partition, all_fields=all_fields,
                                 handle_unknown=handle_unknown)


_HANDLE_UNKNOWN = ("missing", "warn", "error")


def _unseen_message(entry, index):
    field, count, first_row, first = entry
    return (f"field '{field}': {count} value{'s' if count != 1 else ''} training never saw, "
            f"the first {first!r} at row {index[first_row]!r}")


def _column_values(output):
    name, value_type = output[0], output[1]
    if value_type == "text":
        codes, texts = output[2], output[3]
        lookup = np.empty(len(texts) + 1, dtype=object)
        lookup[:len(texts)] = texts
        lookup[len(texts)] = None
        return lookup[codes]
    values = output[2]
    if value_type == "date":
        return pd.to_datetime(values * 86_400, unit="s")
    if value_type == "timestamp":
        return pd.to_datetime(values, unit="s")
    if value_type == "time":
        return pd.to_timedelta(values, unit="s")
    return values
