"""Messy data sets for the model measurements: real tables from Debian's R
packages with missing values, dates and times of day, fields of many
categories and skewed amounts, loaded through Rscript.

Each set is an R expression of a data frame, its target and task, and the
columns an analyst leaves out (identifiers, free text, the target's twins),
with the reason. Rows with a missing target are dropped; a set of more than
MAX_ROWS rows is subsampled to MAX_ROWS with a fixed seed.

Dates reach Zelcraft as `YYYY-MM-DD` columns and times of day as
`HH:MM:SS` columns (a timestamp is split into its date and its time of day).
The standard pipeline cannot read either, so its copy of the inputs (`raw`)
has each date as the days since 1970-01-01 and each time of day as the
seconds since midnight: what a numeric conversion of the column gives.

The R export of each set is cached as CSV under build/study-data/ (delete it
to read the packages again).
"""

import os
import re
import subprocess
from dataclasses import dataclass, field

import pandas as pd

MAX_ROWS = 5000
SEED = 0
CACHE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build", "study-data")


@dataclass
class MessySet:
    name: str
    expr: str  # R expression of the data frame
    target: str
    task: str  # "regression", "binary" or "multiclass"
    left_out: str  # what the expression leaves out and why
    times: list = field(default_factory=list)  # HH:MM:SS columns


SETS = [
    MessySet("ames", 'local({d <- as.data.frame(modeldata::ames); '
             'd$Sale_Date <- as.Date(sprintf("%d-%02d-01", d$Year_Sold, d$Mo_Sold)); '
             'd$Year_Sold <- NULL; d$Mo_Sold <- NULL; d})',
             "Sale_Price", "regression",
             "Year_Sold and Mo_Sold (replaced by the sale date they spell, the 1st of the month)"),
    MessySet("credit_data", "modeldata::credit_data", "Status", "binary", "nothing"),
    MessySet("Chicago", "as.data.frame(modeldata::Chicago)", "ridership", "regression",
             "nothing (the station columns are ridership 14 days earlier)"),
    MessySet("Sacramento", "as.data.frame(modeldata::Sacramento)", "price", "regression",
             "nothing"),
    MessySet("lending_club", "as.data.frame(modeldata::lending_club)", "Class", "binary",
             "nothing"),
    MessySet("mlc_churn", "as.data.frame(modeldata::mlc_churn)", "churn", "binary", "nothing"),
    MessySet("hpc_data", "as.data.frame(modeldata::hpc_data)", "class", "multiclass", "nothing"),
    MessySet("txhousing", 'local({d <- as.data.frame(ggplot2::txhousing); '
             'd$date <- as.Date(sprintf("%d-%02d-01", d$year, d$month)); '
             'd[, c("city", "date", "sales", "listings", "inventory", "median")]})',
             "median", "regression",
             "year, month and the decimal date (replaced by the date); volume (sales times "
             "the mean price: the target's twin)"),
    MessySet("gapminder", "dslabs::gapminder", "life_expectancy", "regression", "nothing"),
    MessySet("polls2016", 'local({d <- dslabs::polls_us_election_2016; '
             'd$spread <- d$rawpoll_clinton - d$rawpoll_trump; '
             'd[, c("state", "startdate", "enddate", "pollster", "grade", "samplesize", '
             '"population", "rawpoll_johnson", "rawpoll_mcmullin", "spread")]})',
             "spread", "regression",
             "rawpoll_clinton and rawpoll_trump (the target is their difference); the four "
             "adjpoll_ columns (the pollster-adjusted versions of the same shares)"),
    MessySet("penguins_raw", 'local({d <- as.data.frame(palmerpenguins::penguins_raw); '
             'd[, !(names(d) %in% c("Sample Number", "Individual ID", "Comments"))]})',
             "Species", "multiclass",
             "Sample Number and Individual ID (identifiers); Comments (free text)"),
    MessySet("STAR", 'local({data("STAR", package = "AER", envir = environment()); '
             'd <- STAR; d$birth <- as.Date(zoo::as.yearqtr(d$birth)); '
             'd[, c("gender", "ethnicity", "birth", "stark", "readk", "mathk", "lunchk", '
             '"schoolk", "degreek", "ladderk", "experiencek", "tethnicityk", "systemk", '
             '"schoolidk", "star1", "lunch1", "school1", "degree1", "ladder1", "experience1", '
             '"tethnicity1", "system1", "schoolid1", "math1")]})',
             "math1", "regression",
             "read1 (the same sitting's other score); every grade-2 and grade-3 column "
             "(later than the target); the birth quarter becomes the quarter's first day"),
    MessySet("pima", 'local({data("PimaIndiansDiabetes2", package = "mlbench", '
             'envir = environment()); PimaIndiansDiabetes2})',
             "diabetes", "binary", "nothing"),
    MessySet("ozone", 'local({data("Ozone", package = "mlbench", envir = environment()); '
             'd <- Ozone; d$date <- as.Date(sprintf("1976-%02d-%02d", '
             'as.integer(as.character(d$V1)), as.integer(as.character(d$V2)))); '
             'd$V1 <- NULL; d$V2 <- NULL; d$V3 <- NULL; d})',
             "V4", "regression",
             "V1, V2 and V3 (month, day of month and weekday: replaced by the 1976 date they "
             "spell)"),
    MessySet("forbes2000", 'local({data("Forbes2000", package = "HSAUR3", '
             'envir = environment()); d <- Forbes2000; '
             'd$log_marketvalue <- log10(d$marketvalue); '
             'd[, c("country", "category", "sales", "profits", "assets", "log_marketvalue")]})',
             "log_marketvalue", "regression",
             "rank (ordered by a mix of the amounts and the target), name (identifier); the "
             "target is the base-10 log of the market value, the amounts stay as they are"),
    MessySet("tweets", 'local({d <- dslabs::trump_tweets; '
             'd <- d[d$source %in% c("Twitter for Android", "Twitter for iPhone"), ]; '
             't <- d$created_at; '
             'data.frame(device = ifelse(d$source == "Twitter for Android", "android", "iphone"), '
             'created_date = as.Date(format(t, "%Y-%m-%d", tz = "America/New_York")), '
             'created_time = format(t, "%H:%M:%S", tz = "America/New_York"), '
             'retweet_count = d$retweet_count, favorite_count = d$favorite_count, '
             'is_retweet = as.character(d$is_retweet))})',
             "device", "binary",
             "id_str (identifier); text (free text); in_reply_to_user_id_str (an identifier "
             "of 2,071 values); the timestamp is split into its New York date and time of day",
             times=["created_time"]),
    MessySet("GSSvocab", 'local({data("GSSvocab", package = "carData", envir = environment()); '
             'd <- GSSvocab; d$educ <- NULL; d})',
             "educGroup", "multiclass", "educ (the years of schooling educGroup groups)"),
]


def clean_name(name):
    return re.sub(r"[^0-9A-Za-z_]+", "_", name).strip("_")


def export(sets):
    """Writes every set not yet cached: the frame as CSV (missing values
    empty, dates ISO) and one line per column with its R class."""
    os.makedirs(CACHE, exist_ok=True)
    script = []
    for s in sets:
        csv = os.path.join(CACHE, s.name + ".csv")
        if os.path.exists(csv):
            continue
        script.append(
            f'local({{d <- as.data.frame({s.expr}); '
            f'writeLines(paste(names(d), sapply(d, function(x) class(x)[1]), sep = "\\t"), '
            f'"{csv}.types"); write.csv(d, "{csv}", row.names = FALSE, na = "")}})')
    if script:
        subprocess.run(["Rscript", "-e", "suppressMessages({library(zoo)}); " + "; ".join(script)],
                       check=True)


def load(s):
    """Returns (frame, target, categorical inputs, date inputs) of one set,
    names cleaned, rows with a missing target dropped, subsampled."""
    csv = os.path.join(CACHE, s.name + ".csv")
    with open(csv + ".types") as f:
        classes = {clean_name(a): b for a, b in (line.rstrip("\n").split("\t") for line in f)}
    frame = pd.read_csv(csv, dtype=str, keep_default_na=False, na_values=[""])
    frame.columns = [clean_name(c) for c in frame.columns]
    target = clean_name(s.target)
    frame = frame[frame[target].notna()]
    if len(frame) > MAX_ROWS:
        frame = frame.sample(n=MAX_ROWS, random_state=SEED)
    frame = frame.reset_index(drop=True)
    dates = [c for c, k in classes.items() if k == "Date" and c != target]
    text = ("factor", "ordered", "character", "logical")
    categorical = [c for c, k in classes.items()
                   if k in text and c != target and c not in s.times]
    for c in frame.columns:
        if c not in categorical and c not in dates and c not in s.times and \
                (c != target or s.task == "regression"):
            frame[c] = frame[c].astype(float)
    return frame, target, categorical, dates


def numeric_calendar(X, dates, times):
    """The standard pipeline's copy: dates as days since 1970-01-01, times of
    day as seconds since midnight."""
    raw = X.copy()
    for c in dates:
        raw[c] = (pd.to_datetime(raw[c]) - pd.Timestamp("1970-01-01")).dt.days.astype(float)
    for c in times:
        parts = raw[c].str.split(":", expand=True).astype(float)
        raw[c] = parts[0] * 3600 + parts[1] * 60 + parts[2]
    return raw


def messy_sets(make_dataset, names=None, sets=None):
    """The sets (SETS unless given) as the measurement's DataSet objects
    (make_dataset(name, task, X, y, categorical, raw, dates, times)), in
    their order."""
    chosen = [s for s in (SETS if sets is None else sets) if names is None or s.name in names]
    export(chosen)
    out = []
    for s in chosen:
        frame, target, categorical, dates = load(s)
        y = frame.pop(target)
        raw = numeric_calendar(frame, dates, s.times)
        out.append(make_dataset(s.name, s.task, frame, y, categorical, raw, dates, list(s.times)))
    return out


def messiness(ds):
    """What is messy about a set: the share of missing input cells, the
    share of the most-missing input, the date and time inputs, the most
    categories of an input, and the largest |skewness| of a continuous input."""
    X = ds.X
    calendar = set(ds.dates) | set(ds.times)
    numeric = [c for c in X.columns if c not in ds.categorical and c not in calendar]
    skew = max((abs(float(X[c].skew())) for c in numeric if X[c].nunique() > 2), default=0.0)
    cats = max((X[c].nunique() for c in ds.categorical), default=0)
    return {"missing": float(X.isna().to_numpy().mean()),
            "most_missing": float(X.isna().mean().max()),
            "calendar": ",".join(list(ds.dates) + list(ds.times)) or "-",
            "max_categories": int(cats), "max_abs_skew": skew,
            "inputs": X.shape[1], "categorical": len(ds.categorical)}


def print_messiness(sets):
    print(f"{'data set':<14} {'task':<10} {'rows':>5} {'inputs':>6} {'categ':>5} "
          f"{'missing':>7} {'worst':>5} {'max cats':>8} {'max|skew|':>9}  dates/times")
    for ds in sets:
        m = messiness(ds)
        print(f"{ds.name:<14} {ds.task:<10} {len(ds.y):>5} {m['inputs']:>6} {m['categorical']:>5} "
              f"{m['missing']:>7.3f} {m['most_missing']:>5.2f} {m['max_categories']:>8} "
              f"{m['max_abs_skew']:>9.1f}  {m['calendar']}")
    print()


if __name__ == "__main__":
    from types import SimpleNamespace
    sets = messy_sets(lambda name, task, X, y, categorical, raw, dates, times: SimpleNamespace(
        name=name, task=task, X=X, y=y, categorical=categorical, raw=raw, dates=dates,
        times=times))
    print_messiness(sets)
    for s in SETS:
        print(f"{s.name}: target {s.target} ({s.task}); left out: {s.left_out}")
