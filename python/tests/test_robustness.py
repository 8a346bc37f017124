"""What a caller can hand the package that it must refuse with a short,
clear error instead of crashing the interpreter or failing late: replicas
of unequal columns or driven from several threads, names and values a
document cannot carry, arguments of the wrong type, memory the statistics
would not fit in. Crashes are caught in a child interpreter."""

import subprocess
import sys
import textwrap
import warnings

import numpy as np
import pandas as pd
import pytest

import zelcraft
from conftest import STAGE, timeless


def run_child(code):
    """Runs `code` in a fresh interpreter that imports the built package;
    (exit status, output)."""
    prologue = f"import sys\nsys.path.insert(0, {str(STAGE)!r})\n"
    run = subprocess.run([sys.executable, "-c", prologue + textwrap.dedent(code)],
                         capture_output=True, text=True, timeout=300, check=False)
    return run.returncode, run.stdout + run.stderr


def test_replicas_refuse_unequal_columns_and_serialise_threads():
    status, output = run_child("""
        import numpy as np
        from zelcraft import _core
        columns = [("real", np.arange(2_000_000.0), None),
                   ("text", np.zeros(1, dtype=np.int64), ["x"])]
        try:
            _core.Replica(["a", "b"], columns, "", "", [], "", "", "", 0, 0)
        except ValueError as error:
            print("refused:", error)
    """)
    assert status == 0, output
    assert "refused: columns of different lengths" in output

    # Four threads reading one replica's rows at once each get the state a
    # single thread gets.
    status, output = run_child("""
        import threading
        import numpy as np
        from zelcraft import _core
        rows = 300_000
        columns = [("real", (np.arange(rows) * (i + 1) % 97) * 1.0, None) for i in range(8)]
        columns.append(("text", np.arange(rows) % 5, list("abcde")))
        replica = _core.Replica([f"c{i}" for i in range(9)], columns, "", "", [], "", "c0", "", 0, 0)
        assert replica.start_pass() == (True, False)
        alone = replica.read_rows(0, replica.rows())
        states = []
        def read():
            for _ in range(3):
                states.append(replica.read_rows(0, replica.rows()))
        threads = [threading.Thread(target=read) for _ in range(4)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        print("same states:", len(states), all(state == alone for state in states))
    """)
    assert status == 0, output
    assert "same states: 12 True" in output


def frame(rows=60):
    r = np.arange(rows)
    return pd.DataFrame({"x": r % 7 * 1.5, "c": np.array(list("abc"))[r % 3], "y": r * 0.5})


def test_names_and_values_a_document_cannot_carry_are_refused_up_front():
    data = frame().rename(columns={"c": "c\x00d"})
    with pytest.raises(zelcraft.ZelcraftInputError) as error:
        zelcraft.prepare(data)
    assert error.value.code is None
    assert "column 2" in error.value.message and "U+0000" in error.value.message
    assert "'c\\x00d'" in error.value.message
    # The partitioned build refuses it the same way, before any pass.
    with pytest.raises(zelcraft.ZelcraftInputError, match="U\\+0000"):
        zelcraft.prepare(data, partitions=2)

    # A text value: the field and the first row that holds it.
    values = frame()
    values.loc[41, "c"] = "a\x1fb"
    with pytest.raises(zelcraft.ZelcraftInputError,
                       match=r"row 42, column 2: control character U\+001F.*field 'c'"):
        zelcraft.prepare(values)
    # A lone surrogate cannot even be UTF-8.
    values.loc[41, "c"] = "a\ud800"
    with pytest.raises(zelcraft.ZelcraftInputError, match=r"row 42, column 2: .*field 'c'"):
        zelcraft.prepare(values)


def test_whole_numbers_past_64_bits_name_their_column_and_row():
    data = frame()
    data["big"] = pd.Series([1, 2, 3] * 20, dtype=object)
    data.loc[17, "big"] = 2**70
    with pytest.raises(zelcraft.ZelcraftInputError) as error:
        zelcraft.prepare(data)
    assert "row 18" in str(error.value) and "field 'big'" in str(error.value)
    assert str(2**70) in str(error.value)
    data.loc[17, "big"] = -(2**63) - 1
    with pytest.raises(zelcraft.ZelcraftInputError, match="row 18.*field 'big'"):
        zelcraft.prepare(data)


def test_arguments_of_the_wrong_type_raise_short_errors():
    wide = pd.DataFrame({f"column{i}": np.arange(20.0) for i in range(400)})
    for arguments in ({"target": 123.5}, {"target": ["column1"]},
                      {"frequency_weight": object()}):
        with pytest.raises(TypeError) as error:
            zelcraft.prepare(wide, **arguments)
        assert len(str(error.value)) < 200, str(error.value)
    # A label the frame has is taken as that column's name, as the columns'
    # labels are.
    numbered = pd.DataFrame({0: np.arange(40.0) % 9, 1: np.arange(40.0) * 2})
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        prep = zelcraft.prepare(numbered, target=1)
    assert prep.fields.set_index("name").loc["1", "kind"] == "target"
    with pytest.raises(zelcraft.ZelcraftInputError, match="the target '7' is not a field"):
        zelcraft.prepare(numbered, target=7)
    with pytest.raises(TypeError, match="threads"):
        zelcraft.prepare(numbered, threads="two")


def test_arguments_of_the_wrong_kind_are_input_errors_and_numpy_scalars_read():
    frame = pd.DataFrame({"x": np.arange(60.0) % 11, "y": np.arange(60.0) % 7 * 1.5})
    for arguments, message in (({"target": ["y"]}, "target: the name of a column, not list"),
                               ({"target": frame["y"]}, "not a Series"),
                               ({"settings": 3}, "settings: a dict"),
                               ({"settings": {"targetSD": object()}}, "settings: .*object"),
                               ({"schema": [1]}, "schema: a dict")):
        with pytest.raises(zelcraft.ZelcraftInputError, match=message) as error:
            zelcraft.prepare(frame, **arguments)
        # Both a ValueError (bad input) and a TypeError (the wrong kind).
        assert isinstance(error.value, ValueError) and isinstance(error.value, TypeError)
    with pytest.raises(zelcraft.ZelcraftInputError, match="the target '3' is not a field"):
        zelcraft.prepare(frame, target=3)
    # Numpy scalars are the numbers and flags they hold.
    given = {"rescaleScaleTargetUsingBoxCox": np.bool_(True), "targetSD": np.float64(2.0),
             "maxNOfUniqueCategories": np.int64(50)}
    plain = {key: value.item() for key, value in given.items()}
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        ours = zelcraft.prepare(frame, target="y", settings=given)
        theirs = zelcraft.prepare(frame, target="y", settings=plain)
    assert timeless(ours.document) == timeless(theirs.document)
    assert ours.statistics.set_index("field").loc["y_transformed", "sd"] == pytest.approx(2.0)


def test_memory_limit_counts_the_statistics_before_any_pass():
    wide = pd.DataFrame({f"c{i}": np.arange(3) + i % 5 for i in range(2000)})
    message = ("the statistics of 2000 fields would take about 38 MiB, beside {} of data held "
               "in memory, more than the memory limit of 9.5 MiB: hand the build fewer fields "
               "or raise memory_limit=")
    for options in ({}, {"partitions": 2}):
        with pytest.raises(zelcraft.ZelcraftInputError) as error:
            zelcraft.prepare(wide, memory_limit=10_000_000, **options)
        assert error.value.message.startswith(message.split("{}")[0]), error.value.message
        assert error.value.message.endswith(message.split("{}")[1])
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        assert "<PMML" in zelcraft.prepare(wide, memory_limit=200_000_000).document
    with pytest.raises(TypeError, match="memory_limit"):
        zelcraft.prepare(wide, memory_limit="10M")
