"""Preparation.transform gives, value by value, what `zelcraft apply` writes
for the same data, with the target and weight columns and without them
(then they and the transformed target are missing); inverse maps a Box-Cox
target back."""

import io
import warnings

import numpy as np
import pandas as pd
import pytest

import zelcraft
from conftest import run_cli, timeless
from test_documents import mixed_frame
from zelcraft.sklearn import ZelcraftPreparer


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
    # 's' never took the value "zz" in training: it reads as missing.
    assert_same_values(ours, apply_cells(tmp_path, prep.document,
                                         texts.replace({"s": {"zz": None}})))


def test_durations_read_alike_in_prepare_and_transform():
    # A timedelta column is seconds to both, as its float seconds are.
    r = np.arange(400)
    waits = pd.to_timedelta(r * 37 % 900, unit="s").to_series().reset_index(drop=True)
    waits[r % 19 == 0] = pd.NaT
    frame = pd.DataFrame({"wait": waits, "y": r % 900 * 0.01 + r % 7})
    seconds = frame.assign(wait=waits.dt.total_seconds())
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        prep = zelcraft.prepare(frame, target="y", settings={"featureSelection": False})
        twin = zelcraft.prepare(seconds, target="y", settings={"featureSelection": False})
    assert timeless(prep.document) == timeless(twin.document)
    out = prep.transform(frame, all_fields=True)
    pd.testing.assert_frame_equal(out, twin.transform(seconds, all_fields=True))
    derived = [c for c in out.columns if c.startswith("wait_")]
    assert derived and out.loc[r % 19 != 0, derived].notna().all().all()


def test_prediction_data_needs_only_the_columns_the_prepared_fields_use(tmp_path):
    frame = mixed_frame()
    frame["notes"] = np.where(np.arange(len(frame)) % 3 == 0, "call back", None)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        prep = zelcraft.prepare(frame, target="y", frequency_weight="w")
    fields = prep.fields.set_index("name")
    assert fields.loc["notes", "reason_key"] == "ScreenFeatureWithTooManyMissing"
    assert list(fields.index[fields["used"]]) == ["w", "y", "amount_transformed"]
    full = prep.transform(frame)
    # What the preparation excluded (and everything made only from it) is
    # not asked for, nor are the target and weight.
    lean = frame[["amount", "count", "size"]]
    ours = prep.transform(lean)
    pd.testing.assert_series_equal(ours["amount_transformed"], full["amount_transformed"])
    assert_same_values(ours, apply_cells(tmp_path, prep.document, lean))
    # Every derived field asks for the dates again; a column a used field
    # needs is named when it is missing.
    with pytest.raises(zelcraft.ZelcraftInputError, match="field 'day' is not a column"):
        prep.transform(lean, all_fields=True)
    with pytest.raises(zelcraft.ZelcraftInputError,
                       match="the document's field 'amount' is not a column of the data"):
        prep.transform(lean.drop(columns=["amount"]))


def test_skewed_inputs_transformed_through_settings_as_apply_does(tmp_path):
    rng = np.random.default_rng(7)
    frame = pd.DataFrame({"x": np.exp(rng.normal(0, 1.5, 800)),
                          "w": -np.exp(rng.normal(0, 1.0, 800)),
                          "u": rng.normal(0, 1, 800)})
    frame["y"] = np.log(frame["x"]) + rng.normal(0, 0.5, 800)
    frame.loc[::37, "x"] = np.nan
    for method in ("boxCox", "signedLog"):
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
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


def test_training_transform_cross_fits_target_means_as_data_out(tmp_path):
    """fit_transform and transform(training=True) give the training rows the
    target means of the other folds, the file `prepare --data-out` writes;
    plain transform the document's whole-data mapping, as `apply`."""
    rng = np.random.default_rng(11)
    n = 1500
    shop = rng.integers(0, 60, n)
    frame = pd.DataFrame({"shop": [f"s{k}" for k in shop],
                          "x": rng.normal(size=n),
                          "y": shop * 0.1 + rng.normal(size=n)})
    frame.loc[::53, "shop"] = None
    settings = {"targetEncodeCategories": True, "featureSelection": False,
                "supervisedMerging": False}
    prep = zelcraft.prepare(frame, target="y", settings=settings)
    frame.to_csv(tmp_path / "data.csv", index=False)
    run = run_cli(["prepare", "data.csv", "--target", "y", "-o", "doc.pmml", "-q",
                   "--data-out", "p.csv", "--set", "targetEncodeCategories=true",
                   "--set", "featureSelection=false", "--set", "supervisedMerging=false"],
                  tmp_path)
    assert run.returncode == 0, run.stderr
    assert timeless((tmp_path / "doc.pmml").read_text()) == timeless(prep.document)
    written = pd.read_csv(tmp_path / "p.csv", dtype=str, keep_default_na=False)
    trained = prep.transform(frame, training=True)
    assert_same_values(trained, written)
    assert "shop_targetMean" in trained

    preparer = ZelcraftPreparer(categorical="pandas", settings=settings)
    fitted = preparer.fit_transform(frame.drop(columns=["y"]), frame["y"])
    np.testing.assert_array_equal(fitted["shop_targetMean"].to_numpy(),
                                  trained["shop_targetMean"].to_numpy())

    plain = prep.transform(frame)
    assert_same_values(plain, apply_cells(tmp_path, prep.document, frame))
    assert (plain["shop_targetMean"] != trained["shop_targetMean"]).mean() > 0.9
    with pytest.raises(zelcraft.ZelcraftInputError, match="training=True"):
        import dask.dataframe as dd
        prep.transform(dd.from_pandas(frame, npartitions=2), training=True)


def test_training_transform_target_means_of_a_derived_input_against_hand_folds():
    """The month of a date, derived in the document, encoded: each training
    row takes the smoothed mean of its month over the other folds (row
    number modulo 5), computed here; a row without a date the other folds'
    overall mean; plain transform the whole-data means."""
    rng = np.random.default_rng(3)
    n = 1200
    day = pd.to_datetime("2020-01-01") + pd.to_timedelta(rng.integers(0, 700, n), unit="D")
    frame = pd.DataFrame({"d": day, "x": rng.normal(size=n)})
    frame["y"] = frame["d"].dt.month * 0.3 + rng.normal(size=n)
    frame.loc[::41, "d"] = pd.NaT
    settings = {"targetEncodeCategories": True, "targetEncodingMinCategories": 2,
                "extractMonthCategoryFromDate": True, "featureSelection": False,
                "supervisedMerging": False, "featureConstruction": False,
                "scaleFeatureRescalingMethod": "none",
                "replaceNominalFeaturesMissingValue": False}
    prep = zelcraft.prepare(frame, target="y", settings=settings)
    month = frame["d"].dt.month.to_numpy()
    y = frame["y"].to_numpy()
    rows = np.arange(n)

    def means(counted):
        keep = counted & ~np.isnan(month)
        prior = y[keep].mean()
        table = {m: (y[keep & (month == m)].sum() + 10 * prior) / ((keep & (month == m)).sum() + 10)
                 for m in np.unique(month[keep])}
        return table, prior

    def expected(counted_for):
        values = np.empty(n)
        for r in range(n):
            table, prior = counted_for(r)
            values[r] = prior if np.isnan(month[r]) else table[month[r]]
        return values

    folds = [means(rows % 5 != f) for f in range(5)]
    trained = prep.transform(frame, training=True)["d_targetMean"].to_numpy(dtype=float)
    np.testing.assert_allclose(trained, expected(lambda r: folds[r % 5]), rtol=1e-9)
    whole = means(np.ones(n, dtype=bool))
    plain = prep.transform(frame)["d_targetMean"].to_numpy(dtype=float)
    np.testing.assert_allclose(plain, expected(lambda r: whole), rtol=1e-9)


def test_merging_keeps_an_unrelated_input_through_settings(tmp_path):
    """Every speaker says every vowel alike: merging makes the speaker one
    category and drops it, unless settings= keeps it; kept, transform and
    `apply` both give the speaker as it was."""
    speakers, vowels = np.meshgrid(np.arange(15), np.arange(11))
    frame = pd.DataFrame({"speaker": [f"s{s}" for s in speakers.ravel()] * 2,
                          "f": np.tile(vowels.ravel() * 10.0 + speakers.ravel(), 2),
                          "vowel": [chr(97 + v) for v in vowels.ravel()] * 2})
    base = {"featureSelection": False, "supervisedBinning": False}
    merged = zelcraft.prepare(frame, target="vowel", settings=base)
    assert "speaker_MergeNominalHasTarget" in merged.document
    kept = zelcraft.prepare(frame, target="vowel",
                            settings={**base, "supervisedMergingKeepUnrelated": True})
    assert "speaker_MergeNominalHasTarget" not in kept.document
    assert list(kept.transform(frame)["speaker"]) == list(frame["speaker"])
    assert list(apply_cells(tmp_path, kept.document, frame)["speaker"]) == list(frame["speaker"])
