"""Values of a categorical field that training never saw: read as missing
(the default), read as missing with a warning, or refused, the same in the
prepared fields and in each form the transformer gives them."""

import warnings

import numpy as np
import pandas as pd
import pytest

import zelcraft
from zelcraft.sklearn import ZelcraftPreparer

QUIET = {"featureSelection": False}


def shops(rows=300, seed=5):
    rng = np.random.default_rng(seed)
    return pd.DataFrame({
        "city": rng.choice(["Lyon", "Nice", "Metz"], rows),
        "size": rng.choice([1, 2, 3], rows),
        "spend": rng.normal(10.0, 2.0, rows),
    })


@pytest.fixture(scope="module")
def fitted():
    frame = shops()
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        prep = zelcraft.prepare(frame, settings=QUIET, schema={"size": {"level": "nominal"}})
    return frame, prep


def new_data(frame):
    """Three rows: one of known values, one with an unseen city, one with
    an unseen size (a number training never saw) and a missing city."""
    rows = frame.iloc[:3].copy()
    rows["city"] = ["Lyon", "Paris", None]
    rows["size"] = [1, 2, 9]
    return rows


def test_an_unseen_value_reads_as_missing_without_a_word_by_default(fitted):
    frame, prep = fitted
    rows = new_data(frame)
    missing = rows.copy()
    missing["city"] = ["Lyon", None, None]
    missing["size"] = [1.0, 2.0, np.nan]
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        unseen = prep.transform(rows, all_fields=True)
    expected = prep.transform(missing, all_fields=True)
    pd.testing.assert_frame_equal(unseen, expected)


def test_warn_names_each_field_its_count_and_first_value(fitted):
    frame, prep = fitted
    rows = pd.concat([new_data(frame)] * 2)
    with pytest.warns(zelcraft.ZelcraftWarning) as caught:
        prep.transform(rows, handle_unknown="warn")
    messages = sorted(str(w.message) for w in caught)
    assert len(messages) == 2
    assert "field 'city': 2 values training never saw, the first 'Paris' at row 1" in messages[0]
    assert "field 'size': 2 values training never saw, the first '9' at row 2" in messages[1]


def test_error_refuses_the_data(fitted):
    frame, prep = fitted
    with pytest.raises(zelcraft.ZelcraftInputError, match="'Paris' at row 1"):
        prep.transform(new_data(frame), handle_unknown="error")
    # Known values and missing cells are no reason to refuse.
    known = frame.iloc[:5].copy()
    known.loc[known.index[0], "city"] = None
    prep.transform(known, handle_unknown="error")
    with pytest.raises(zelcraft.ZelcraftInputError, match="handle_unknown"):
        prep.transform(known, handle_unknown="ignore")


@pytest.mark.parametrize("categorical", ["onehot", "codes", "pandas"])
def test_the_transformer_gives_an_unseen_value_as_a_missing_one(categorical):
    frame = shops(seed=6)
    y = pd.Series(np.where(frame["city"] == "Lyon", "a", "b"), name="label")
    preparer = ZelcraftPreparer(settings=QUIET, categorical=categorical)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        preparer.fit(frame, y)
    rows = frame.iloc[:2].copy()
    rows["city"] = ["Brest", None]
    out = preparer.transform(rows)
    out = out.to_numpy() if isinstance(out, pd.DataFrame) else out
    assert (pd.isna(out[0]) == pd.isna(out[1])).all()
    assert (out[0][~pd.isna(out[0])] == out[1][~pd.isna(out[1])]).all()
    preparer.set_params(handle_unknown="error")
    with pytest.raises(zelcraft.ZelcraftInputError, match="'Brest'"):
        preparer.transform(rows)
