"""What every host hands the component, the same from a DataFrame, from the
command line and over partitions: a whole-number target that Box-Cox
transforms as real numbers, rescaled to a standard deviation of 1; every
column of timestamps as its date and its time of day; ISO date and time
texts as dates and times; and durations measured from the data's latest
date and time of day, so that the same data gives the same document on any
day."""

import io
import json
import warnings

import numpy as np
import pandas as pd
import pytest

import zelcraft
from conftest import run_cli, timeless

BOX_COX = {"rescaleScaleTargetUsingBoxCox": True}


def quietly(*args, **kwargs):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return zelcraft.prepare(*args, **kwargs)


def cli_document(tmp_path, frame, *args):
    frame.to_csv(tmp_path / "data.csv", index=False)
    run = run_cli(["prepare", "data.csv", "-o", "doc.pmml", *args], tmp_path)
    assert run.returncode == 0, run.stderr
    return (tmp_path / "doc.pmml").read_text(), run.stderr


def cli_apply(tmp_path, document, frame, *args):
    (tmp_path / "replay.pmml").write_text(document)
    frame.to_csv(tmp_path / "new.csv", index=False)
    run = run_cli(["apply", "replay.pmml", "new.csv", "-q", *args], tmp_path)
    assert run.returncode == 0, run.stderr
    return pd.read_csv(io.StringIO(run.stdout))


def prices(rows=2000):
    """Skewed whole-number prices of many distinct values, as a sales table
    read from a file has them."""
    rng = np.random.default_rng(11)
    area = rng.gamma(4.0, 300.0, rows)
    quality = rng.integers(1, 11, rows)
    noise = rng.normal(0.0, 0.2, rows)
    price = np.round(np.exp(9.0 + area / 1500.0 + quality * 0.1 + noise)).astype(np.int64)
    return pd.DataFrame({"area": area, "quality": quality, "price": price})


def test_a_whole_number_box_cox_target_comes_out_real_and_upright(tmp_path):
    frame = prices()
    prep = quietly(frame, target="price", settings=BOX_COX)
    out = prep.transform(frame)["price_transformed"]
    # One value per price, in the prices' order (Box-Cox rises with its
    # argument and the rescaling keeps its direction), at a standard
    # deviation of 1 and a mean of 0.
    assert out.nunique() == frame["price"].nunique()
    by_price = out.groupby(frame["price"]).first().sort_index()
    assert by_price.is_monotonic_increasing and by_price.is_unique
    assert out.std(ddof=1) == pytest.approx(1.0, rel=1e-6)
    assert out.mean() == pytest.approx(0.0, abs=1e-6)
    stats = prep.statistics.set_index("field").loc["price_transformed"]
    assert stats["sd"] == pytest.approx(1.0, rel=1e-6)
    np.testing.assert_allclose(prep.inverse(out).to_numpy(), frame["price"], rtol=1e-9)
    assert prep.fields.set_index("name").loc["price", "type"] == "double"
    said = [note for note in prep.notes if "'price' holds whole numbers" in note]
    assert len(said) == 1

    # The command line hands over the same, and says so once.
    document, printed = cli_document(tmp_path, frame, "--target", "price", "--set",
                                     "rescaleScaleTargetUsingBoxCox=true")
    assert timeless(document) == timeless(prep.document)
    assert printed.count("note: the target 'price' holds whole numbers") == 1
    assert "truncated" not in printed
    # So do partitions, which merge the same statistics.
    split = quietly(frame, target="price", settings=BOX_COX, partitions=3)
    np.testing.assert_allclose(split.transform(frame)["price_transformed"], out, rtol=1e-9)

    # A target set to another standard deviation keeps it; one that is not
    # transformed keeps its whole numbers.
    wide = quietly(frame, target="price", settings={**BOX_COX, "targetSD": 2.5})
    assert wide.transform(frame)["price_transformed"].std(ddof=1) == pytest.approx(2.5, rel=1e-6)
    plain = quietly(frame, target="price")
    assert plain.fields.set_index("name").loc["price", "type"] == "integer"
    assert not plain.notes


def test_the_profiles_and_the_help_give_a_target_standard_deviation_of_one(tmp_path):
    for name in zelcraft.profile_names():
        profile = quietly(prices(300), target="price", settings=name,
                          overrides={"rescaleScaleTargetUsingBoxCox": True})
        out = profile.transform(prices(300))["price_transformed"]
        assert out.std(ddof=1) == pytest.approx(1.0, rel=1e-6), name
    assert zelcraft.setting_keys()["targetSD"][1] == "1"
    run = run_cli(["prepare", "--help"], tmp_path)
    assert "targetSD" in run.stdout and "default 1." in run.stdout.split("targetSD", 1)[1]


def visits(rows=1500, zone=None):
    """Moments over 400 days at any second, some missing, with a target."""
    rng = np.random.default_rng(5)
    seconds = rng.integers(0, 400 * 86_400, rows)
    stamps = pd.Series(pd.Timestamp("2021-03-04") + pd.to_timedelta(seconds, unit="s"))
    stamps[rng.choice(rows, 40, replace=False)] = pd.NaT
    if zone is not None:
        stamps = stamps.dt.tz_localize(zone)
    hours = stamps.dt.hour.fillna(0).to_numpy()
    y = np.where(hours >= 12, "late", "early")
    return pd.DataFrame({"seen": stamps, "x": rng.normal(size=rows), "y": y})


PARTS = {"extractDayFromDate": True, "extractHourFromTime": True,
         "extractMonthFromDate": True}


@pytest.mark.parametrize("zone", [None, "Europe/Berlin"])
def test_timestamps_go_over_as_their_date_and_their_time_of_day(tmp_path, zone):
    frame = visits(zone=zone)
    prep = quietly(frame, target="y", settings=PARTS)
    fields = prep.fields.set_index("name")
    assert not fields.loc["seen", "used"]
    assert fields.loc["seen", "reason_key"] == "SplitTimestamp"
    assert fields.loc["seen", "type"] == "dateTime"
    assert fields.loc["seen_date", "type"] == "dateDaysSince[1970]"
    assert fields.loc["seen_time", "type"] == "time"
    assert set(fields.loc[fields["source"] == "seen"].index) >= {
        "seen", "seen_date", "seen_time", "seen_date_Day", "seen_time_Hour"}
    out = prep.transform(frame, all_fields=True)
    # The parts are those of the wall-clock time, worked out by pandas.
    wall = frame["seen"].dt.tz_localize(None) if zone else frame["seen"]
    present = wall.notna()
    np.testing.assert_array_equal(out["seen_date_Day"][present], wall.dt.day[present])
    np.testing.assert_array_equal(out["seen_date_Month"][present], wall.dt.month[present])
    np.testing.assert_array_equal(out["seen_time_Hour"][present], wall.dt.hour[present])
    assert out["seen_date_Day"][~present].isna().all()
    # Durations in days reach back from the latest day.
    days = (wall.dt.normalize() - wall.max().normalize()).dt.days
    np.testing.assert_array_equal(out["seen_date_DurationDays"][present], days[present])

    # The command line reads the CSV file's timestamps alike, and its replay
    # reads the column into both fields.
    plain = frame.assign(seen=wall)
    document, printed = cli_document(tmp_path, plain, "--target", "y", *[
        arg for key in PARTS for arg in ("--set", f"{key}=true")])
    assert timeless(document) == timeless(prep.document)
    assert "note: the timestamps of 'seen' are handed over as two fields" in printed
    applied = cli_apply(tmp_path, document, plain, "--all-fields")
    np.testing.assert_array_equal(applied["seen_time_Hour"].to_numpy(),
                                  out["seen_time_Hour"].to_numpy())
    # A timestamp declared a date or a time is still only that.
    declared = quietly(frame, target="y", schema={"seen": {"storage": "date"}})
    assert declared.fields.set_index("name").loc["seen", "type"] == "dateDaysSince[1970]"


def test_iso_texts_in_object_columns_read_as_the_command_line_reads_them(tmp_path):
    rows = 600
    r = np.arange(rows)
    days = pd.Timestamp("2019-01-01") + pd.to_timedelta(r * 3 % 700, unit="D")
    frame = pd.DataFrame({
        "laid": days.strftime("%Y-%m-%d"),
        "at": [f"{h:02d}:{m:02d}:00" for h, m in zip(r % 24, r * 7 % 60)],
        "stamp": (days + pd.to_timedelta(r * 977 % 86_400, unit="s")).strftime(
            "%Y-%m-%d %H:%M:%S"),
        "label": np.array(["2019-01-01", "soon", "later"])[r % 3],
        "y": r % 5 * 1.5 + r % 3,
    })
    for column in ("laid", "at", "stamp"):
        frame.loc[r % 37 == 0, column] = None  # what pd.read_csv gives an empty cell
    assert frame["laid"].dtype == object
    prep = quietly(frame, target="y")
    fields = prep.fields.set_index("name")
    assert fields.loc["laid", "type"] == "dateDaysSince[1970]"
    assert fields.loc["at", "type"] == "time"
    assert fields.loc["stamp_date", "type"] == "dateDaysSince[1970]"
    assert fields.loc["label", "type"] == "string"
    document, _ = cli_document(tmp_path, frame, "--target", "y")
    assert timeless(document) == timeless(prep.document)
    # Declared text, dates stay categories.
    texts = quietly(frame, target="y", schema={"laid": {"storage": "string"}})
    assert texts.fields.set_index("name").loc["laid", "type"] == "string"


def references(document):
    """The reference day number and seconds of the duration expressions."""
    found = {}
    for kind in ("dateDaysSince[1970]", "timeSeconds"):
        marker = f'<Constant dataType="{kind}">'
        if marker in document:
            start = document.index(marker) + len(marker)
            found[kind] = float(document[start:document.index("<", start)])
    return found


def dated(rows=5000):
    """Dates and times of day whose latest values lie in the last rows."""
    r = np.arange(rows)
    return pd.DataFrame({
        "day": pd.Timestamp("2015-06-01") + pd.to_timedelta(r * 7 % 1000 + r // 4000 * 900,
                                                            unit="D"),
        "t": pd.to_timedelta((r * 3607 % 80_000) + (r // 4990) * 6_000, unit="s") +
        pd.Timestamp("2000-01-01"),
        "x": r % 13 * 1.0,
        "y": r % 9 * 1.0,
    })


def test_durations_are_measured_from_the_latest_date_and_time_in_the_data(tmp_path):
    frame = dated()
    frame["t"] = frame["t"].dt.time  # times of day
    prep = quietly(frame, target="y")
    latest = frame["day"].max()
    latest_time = max(t.hour * 3600 + t.minute * 60 + t.second for t in frame["t"])
    found = references(prep.document)
    assert found["dateDaysSince[1970]"] == (latest - pd.Timestamp("1970-01-01")).days
    assert found["timeSeconds"] == latest_time
    assert f'name="referenceDateFromData" value="{latest:%Y-%m-%d}"' in prep.document
    assert any(latest.strftime("%Y-%m-%d") in note for note in prep.notes)
    # The command line takes the same, and a reference the settings give wins.
    document, _ = cli_document(tmp_path, frame, "--target", "y")
    assert timeless(document) == timeless(prep.document)
    given = quietly(frame, target="y", settings={"computeDateDuration": True,
                                                  "referenceDateForDurations": 10})
    assert references(given.document)["dateDaysSince[1970]"] == 10
    assert "referenceDateFromData" not in given.document
    assert "referenceTimeFromData" in given.document


def test_partitions_and_dask_find_the_latest_date_of_all_the_data():
    frame = dated(6000)  # the latest day falls in the last partition only
    frame["t"] = frame["t"].dt.time
    whole = quietly(frame, target="y")
    split = quietly(frame, target="y", partitions=4)
    assert references(split.document) == references(whole.document)
    dd = pytest.importorskip("dask.dataframe", reason="SKIPPED LOUDLY: python3-dask")
    import dask
    import zelcraft.dask

    ddf = dd.from_pandas(frame, npartitions=4)
    first = ddf.partitions[0].compute()
    assert first["day"].max() < frame["day"].max()
    with dask.config.set(scheduler="synchronous"), warnings.catch_warnings():
        warnings.simplefilter("ignore")
        on_dask = zelcraft.dask.prepare(ddf, target="y")
    assert timeless(on_dask.document) == timeless(split.document)


def test_the_settings_that_turn_durations_off_pin_nothing():
    frame = dated(300)
    prep = quietly(frame, target="y", settings={"computeDateDuration": False,
                                                 "computeTimeDuration": False})
    assert "FromData" not in prep.document
    assert not [note for note in prep.notes if "durations" in note]
    assert json.dumps(references(prep.document)) == "{}"
