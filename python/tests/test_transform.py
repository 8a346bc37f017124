"""Preparation.transform gives, value by value, what `zelcraft apply` writes
for the same data, with the target and weight columns and without them
(then they and the transformed target are missing); inverse maps a Box-Cox
target back."""

import io

import numpy as np
import pandas as pd
import pytest

import zelcraft
from conftest import run_cli
from test_documents import mixed_frame


def apply_cells(tmp_path, document, frame):
    (tmp_path / "doc.pmml").write_text(document)
    frame.to_csv(tmp_path / "data.csv", index=False)
    run = run_cli(["apply", "doc.pmml", "data.csv", "-q"], tmp_path)
    assert run.returncode == 0, run.stderr
    return pd.read_csv(io.StringIO(run.stdout), dtype=str, keep_default_na=False)


def cell(value):
    """A transformed value as `apply` writes it."""
    if value is None or (isinstance(value, float) and np.isnan(value)) or value is pd.NaT:
        return ""
    if isinstance(value, pd.Timestamp):
        return value.strftime("%Y-%m-%d") if value == value.normalize() else str(value)
    if isinstance(value, float):
        return repr(int(value)) if value.is_integer() and abs(value) < 1e15 else repr(value)
    return str(value)


def assert_same_values(ours, cells):
    assert list(ours.columns) == list(cells.columns)
    for name in cells.columns:
        got = [cell(v) for v in ours[name].tolist()]
        expected = cells[name].tolist()
        for row, (a, b) in enumerate(zip(got, expected)):
            if a != b:
                # Numbers compare as the doubles they write.
                assert b != "" and a != "" and float(a) == float(b), f"{name}, row {row}"


def test_transform_equals_apply_with_and_without_target(tmp_path):
    frame = mixed_frame()
    with pytest.warns(zelcraft.ZelcraftWarning):
        prep = zelcraft.prepare(frame, target="y", frequency_weight="w",
                                settings={"rescaleScaleTargetUsingBoxCox": True})
    new = mixed_frame(300).iloc[::-1].reset_index(drop=True)
    new.loc[3, "colour"] = "purple"  # a category never seen
    assert_same_values(prep.transform(new), apply_cells(tmp_path, prep.document, new))

    bare = new.drop(columns=["y", "w"])
    ours = prep.transform(bare)
    assert_same_values(ours, apply_cells(tmp_path, prep.document, bare))
    # The rescaled target stands in for the target, which is not shown.
    assert "y" not in ours and ours["w"].isna().all() and ours["y_transformed"].isna().all()
    full = prep.transform(new)
    kept = [c for c in full.columns if c not in ("w", "y_transformed")]
    pd.testing.assert_frame_equal(ours[kept], full[kept])

    with pytest.raises(zelcraft.ZelcraftInputError,
                       match="the document's field 'amount' is not a column of the data"):
        prep.transform(bare.drop(columns=["amount"]))

    # The inverse of the transformed target is the target.
    back = prep.inverse(full["y_transformed"])
    np.testing.assert_allclose(back.to_numpy(), new["y"].to_numpy(), rtol=1e-9, atol=1e-9)
    assert back.name == "y_transformed_inverse"


def test_transform_reads_texts_by_the_fields_types(tmp_path):
    frame = pd.DataFrame({"n": np.arange(60) % 7, "s": list("abc") * 20,
                          "y": np.arange(60) % 7 * 2.0 + np.arange(60) % 3})
    prep = zelcraft.prepare(frame, target="y", settings={"featureSelection": False})
    texts = pd.DataFrame({"n": ["3", "x7", None, "0.4e1"], "s": ["a", "", "zz", None],
                          "y": [1.0, 2.0, 3.0, 4.0]})
    with pytest.warns(zelcraft.ZelcraftWarning, match="'x7' is not a whole number"):
        ours = prep.transform(texts)
    assert_same_values(ours, apply_cells(tmp_path, prep.document, texts))


def test_skewed_inputs_transformed_through_settings_as_apply_does(tmp_path):
    rng = np.random.default_rng(7)
    frame = pd.DataFrame({"x": np.exp(rng.normal(0, 1.5, 800)),
                          "w": -np.exp(rng.normal(0, 1.0, 800)),
                          "u": rng.normal(0, 1, 800)})
    frame["y"] = np.log(frame["x"]) + rng.normal(0, 0.5, 800)
    frame.loc[::37, "x"] = np.nan
    for method in ("boxCox", "signedLog"):
        with pytest.warns(zelcraft.ZelcraftWarning):
            prep = zelcraft.prepare(frame, target="y", settings={
                "transformSkewedInputs": True, "skewTransformMethod": method,
                "featureSelection": False, "featureConstruction": False})
        assert prep.document.count('reasonKey="TransformSkewness"') == 3  # x, w and the step
        assert "u_SkewTransform" not in prep.document
        assert_same_values(prep.transform(frame), apply_cells(tmp_path, prep.document, frame))
def test_missing_indicators_and_calendar_categories_from_settings(tmp_path):
    """The optional steps are switched on through settings=, and transform
    gives their fields as `apply` does: 1 where the frame had NaN."""
    rng = np.random.default_rng(5)
    n = 400
    days = pd.Timestamp("2001-01-01") + pd.to_timedelta(rng.integers(0, 3000, n), unit="D")
    x = rng.normal(size=n)
    x[rng.random(n) < 0.2] = np.nan
    frame = pd.DataFrame({"x": x, "day": days, "y": (rng.random(n) < 0.5).astype(int)})
    prep = zelcraft.prepare(frame, target="y",
                            settings={"flagMissingValues": True, "extractWeekdayFromDate": True,
                                      "featureSelection": False, "supervisedMerging": False})
    ours = prep.transform(frame)
    assert list(ours["x_missing"].astype(int)) == list(np.isnan(x).astype(int))
    assert list(ours["day_weekday"].astype(int)) == [d.isoweekday() for d in days]
    theirs = apply_cells(tmp_path, prep.document, frame)
    assert list(theirs["x_missing"]) == [str(v) for v in np.isnan(x).astype(int)]
