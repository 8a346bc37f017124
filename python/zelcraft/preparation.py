"""Preparation: one preparation document with what it says (fields,
statistics, summary) and its replay on new data."""

import html
import os
import threading
import time as _time
import warnings as _warnings

import numpy as np
import pandas as pd

from . import _core, _lockstep
from ._columns import column_names, frame_columns, replay_tuple
from ._errors import ZelcraftComponentError, ZelcraftInputError, ZelcraftWarning
from ._options import schema_fields, schema_text, settings_text
from ._progress import progress_for

_WEIGHT_CLASSES = ("frequency weight", "analysis weight")


def _run(progress, work):
    """Runs work(callback) with the progress bar progress= asks for."""
    bar = progress_for(progress)
    try:
        return work(bar)
    finally:
        if bar is not None:
            bar.close()


def _raise_for(outcome):
    if "error" not in outcome:
        return
    kind = ZelcraftInputError if outcome["error"] == "input" else ZelcraftComponentError
    raise kind(outcome["message"], outcome["code"] or None, outcome["note"])


def prepare(data, target=None, frequency_weight=None, schema=None, settings=None,
            progress=None, *, overrides=None, delimiter=",", stream=False, memory_limit=None,
            threads=None, partitions=None, extra=None):
    """Prepares a data set and returns its Preparation.

    `data` is a pandas DataFrame, or the path of a CSV file, which is read by
    the command line's loader (streamed when its columns would take more
    than `memory_limit` bytes, by default half the memory, or when `stream`
    is true). `schema` is a dict of field name to metadata (the keys of
    --schema) or a JSON file; `settings` a dict of settings keys, a JSON file
    or the name of a shipped profile; `overrides` a dict of settings keys
    that win over `settings`, as --set does. `extra` maps names to Series
    read as further columns of the frame (a target held apart, say).
    Warnings go to Python's warnings module and to Preparation.warnings;
    errors raise ZelcraftError.

    Every pass reads the rows in blocks of 65,536 on `threads` threads (by
    default one per core); the document is the same for every number of
    threads. With `partitions` (a frame only), the frame is cut into that
    many runs of rows as Dask's from_pandas cuts it, and each pass merges
    one state per partition along the tree zelcraft.dask.prepare uses: the
    document is then byte for byte that of a Dask run over the same
    partitions, and agrees with the unpartitioned one in every decision.
    """
    fields = schema_fields(schema)
    text, name = settings_text(settings)
    assigned = [f"{key}={_setting_text(value)}" for key, value in (overrides or {}).items()]
    roles = (target or "", frequency_weight or "")
    if partitions is not None:
        if not isinstance(data, pd.DataFrame) or extra:
            raise TypeError("partitions: a pandas DataFrame without extra columns")
        recipe = _build_recipe(target, frequency_weight, schema, settings, overrides)
        outcome = _lockstep.prepare_partitioned(data, recipe, int(partitions))
        return _publish(outcome, "DataFrame", stacklevel=3)
    if isinstance(data, (str, os.PathLike)):
        outcome = _run(progress, lambda bar: _core.prepare_csv(
            os.fspath(data), delimiter, stream, int(memory_limit or 0),
            int(threads or 0), text, name, assigned, schema_text(fields), *roles, bar))
    elif isinstance(data, pd.DataFrame):
        names, columns, fields = frame_columns(data, fields, extra)
        outcome = _run(progress, lambda bar: _core.prepare_frame(
            names, columns, text, name, assigned, schema_text(fields), *roles,
            int(threads or 0), bar))
    else:
        raise TypeError("data: a pandas DataFrame or the path of a CSV file")
    data_set = "DataFrame" if isinstance(data, pd.DataFrame) else os.path.basename(
        os.fspath(data))
    return _publish(outcome, data_set, stacklevel=3)


def _build_recipe(target, frequency_weight, schema, settings, overrides):
    """What a replica of the build is made from, as plain data a task carries;
    the clock, read once here, gives every replica the same reference date
    and time of durations wherever and whenever it is made."""
    text, name = settings_text(settings)
    return {"settings": text, "settings_name": name,
            "assigned": [f"{key}={_setting_text(value)}"
                         for key, value in (overrides or {}).items()],
            "schema": schema_fields(schema), "target": target or "",
            "frequency_weight": frequency_weight or "", "clock": int(_time.time())}


def _publish(outcome, data_set, stacklevel):
    """Warns, raises an error outcome, or returns the Preparation."""
    warned = [(code or None, message) for code, message in outcome["warnings"]]
    for line in _warning_lines(warned):
        _warnings.warn(line, ZelcraftWarning, stacklevel=stacklevel)
    _raise_for(outcome)
    run = {"data_set": data_set, "records": outcome["records"],
           "fields_read": outcome["fields_read"], "fields_handed": outcome["fields_handed"]}
    return Preparation(outcome["document"], warned, run)


def _warning_lines(warned):
    """The warnings as the command line prints them: steps that do not apply
    to the data together on one line, after the others."""
    lines, inapplicable = [], []
    for code, message in warned:
        step = _core.inapplicable_step(code) if code else None
        if step:
            inapplicable.append(step)
        else:
            lines.append(f"warning {code}: {message}" if code else f"warning: {message}")
    if inapplicable:
        lines.append("not applicable here: " + ", ".join(inapplicable))
    return lines


def _setting_text(value):
    if isinstance(value, (bool, np.bool_)):
        return "true" if value else "false"
    return str(value)


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

    def __init__(self, document, warnings=(), run=None):
        self._document = document
        self._warnings = list(warnings)
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
        return {"document": self._document, "warnings": self._warnings, "run": self._run}

    def __setstate__(self, state):
        self.__init__(state["document"], state["warnings"], state.get("run"))

    def __repr__(self):
        used = sum(1 for f in self._facts["fields"] if f["enabled"])
        return f"<Preparation: {len(self._facts['fields'])} fields, {used} in use>"

    @property
    def document(self):
        """The PMML text."""
        return self._document

    @property
    def warnings(self):
        """[(code, message)]: the component's codes, None for the data source's."""
        return list(self._warnings)

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
        steps that made it."""
        rows = []
        for field in self._facts["fields"]:
            exclusion = next((a for a in field["actions"] if a["exclusion"]), None)
            steps = [a["reason"] for a in field["actions"] if not a["exclusion"]]
            rows.append({
                "name": field["name"],
                "source": field["origin"],
                "kind": field["class"] or ("derived" if field["derived"] else "input"),
                "level": field["optype"],
                "type": field["data_type"],
                "used": field["enabled"],
                "reason": exclusion["exclusion"] if exclusion else "",
                "reason_key": exclusion["reason"] if exclusion else "",
                "predictive_power": field["predictive_power"],
                "steps": ", ".join(steps),
            })
        columns = ["name", "source", "kind", "level", "type", "used", "reason", "reason_key",
                   "predictive_power", "steps"]
        table = pd.DataFrame(rows, columns=columns)
        table["predictive_power"] = table["predictive_power"].astype(np.float64)
        return table

    @property
    def statistics(self):
        """The field statistics, one row per reported field, with the
        columns of the command line's --stats file."""
        optypes = {f["name"]: f["optype"] for f in self._facts["fields"]}
        rows, seen = [], set()
        for stats in self._facts["statistics"]:
            if stats["field"] in seen:
                continue
            seen.add(stats["field"])
            kind = optypes.get(stats["field"]) or (
                "continuous" if stats["numeric"] else "categorical")
            rows.append({
                "field": stats["field"], "kind": kind,
                "count": stats["total"] - stats["missing"], "missing": stats["missing"],
                "mean": stats["mean"], "min": stats["min"], "max": stats["max"],
                "sd": stats["sd"], "skewness": stats["skewness"],
                "categories": len(stats["frequencies"]) if stats["discrete"] else None,
            })
        columns = ["field", "kind", "count", "missing", "mean", "min", "max", "sd", "skewness",
                   "categories"]
        table = pd.DataFrame(rows, columns=columns)
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

    def transform(self, data, all_fields=False, progress=None):
        """The prepared fields of a DataFrame, the values `zelcraft apply`
        writes for the same data: one column per field the document uses
        (every derived field too with `all_fields`), missing values as NaN,
        NaT or None. The target and weights may be absent. A Dask DataFrame
        gives a Dask DataFrame, replayed partition by partition."""
        if type(data).__module__.startswith("dask."):
            from . import dask as _dask
            return _dask.transform(self, data, all_fields)
        if not isinstance(data, pd.DataFrame):
            raise TypeError("data: a pandas DataFrame")
        replay = self._compiled()
        names = column_names(data)
        position = {name: i for i, name in enumerate(names)}
        inputs = []
        for index, (name, value_type, optional, needed) in enumerate(replay.inputs()):
            if name not in position:
                if optional:
                    continue
                raise ZelcraftInputError(
                    f"the document's field '{name}' is not a column of the data")
            if needed:
                series = data.iloc[:, position[name]]
                inputs.append((index, replay_tuple(name, series, value_type)))
        outputs, warned = _run(progress, lambda bar: replay.run(
            inputs, len(data), all_fields, bar))
        for message in warned:
            _warnings.warn("warning: " + message, ZelcraftWarning, stacklevel=2)
        return pd.DataFrame({out[0]: _column_values(out) for out in outputs}, index=data.index)

    def inverse(self, predictions, progress=None):
        """Predictions of the transformed target on the target's own scale."""
        replay = self._compiled()
        if not replay.has_inverse():
            raise ZelcraftInputError("the document has no target inverse")
        values = np.asarray(predictions, dtype=np.float64)
        result = _run(progress, lambda bar: replay.invert(values.ravel(), bar))
        if isinstance(predictions, pd.Series):
            return pd.Series(result, index=predictions.index, name=f"{predictions.name}_inverse")
        return result.reshape(values.shape)

    def _repr_html_(self):
        table = self.fields.to_html(index=False, na_rep="", escape=True)
        counts = ", ".join(f"{html.escape(k)} {v}" for k, v in self.summary.items())
        return f"<div><p><b>Zelcraft preparation</b> {counts}</p>{table}</div>"


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
