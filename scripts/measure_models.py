"""Does the preparation help the model? 5-fold cross-validation on the data
sets that come inside installed Debian packages (scikit-learn's bundled data
sets, R's datasets package through Rscript), comparing raw data through a
standard scikit-learn pipeline (impute, one-hot, scale) with Zelcraft's
preparation under the default settings and under each settings profile.

Each Zelcraft arm prepares every training fold on its own (`zelcraft prepare
--data-out --schema-out`), replays the document on the test fold (`zelcraft
apply --schema-out`, the test fold's target left empty), one-hot encodes the
columns the written schema calls nominal or ordinal, fills what is still
missing, and fits the same models as the raw arm; the models see no other
rescaling than Zelcraft's own. Scores: R^2 for a continuous target, accuracy
for a categorical one; mean and standard deviation over the folds.

`--suite messy` (or `all`) measures the messy tables of messy_sets.py, whose
dates and times of day the standard pipeline sees as numbers (days since
1970-01-01, seconds since midnight).

Run through scripts/measure-models.sh; `--help` lists the options.
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile
import time
import warnings
from dataclasses import dataclass, field

import numpy as np
import pandas as pd
from sklearn import datasets as skdata
from sklearn.compose import ColumnTransformer
from sklearn.ensemble import (HistGradientBoostingClassifier,
                              HistGradientBoostingRegressor)
from sklearn.impute import SimpleImputer
from sklearn.linear_model import LogisticRegression, Ridge
from sklearn.metrics import accuracy_score, r2_score
from sklearn.model_selection import KFold, StratifiedKFold
from sklearn.neighbors import KNeighborsClassifier, KNeighborsRegressor
from sklearn.pipeline import Pipeline, make_pipeline
from sklearn.preprocessing import OneHotEncoder, StandardScaler

import messy_sets

SEED = 0
FOLDS = 5
MODELS = ("linear", "hgb", "knn")
# The model each profile is meant for: the summary measures it on that model.
FAMILY_MODEL = {"linear": "linear", "trees": "hgb", "distance": "knn"}


@dataclass
class DataSet:
    name: str
    task: str  # "regression", "binary" or "multiclass"
    X: pd.DataFrame
    y: pd.Series
    categorical: list = field(default_factory=list)
    raw: pd.DataFrame = None  # what the standard pipeline sees, when not X
    dates: list = field(default_factory=list)
    times: list = field(default_factory=list)


# R data sets: (name, R expression of the frame, target, categorical inputs,
# task). Identifier-like columns (infert's strata) are left out, as an
# analyst would.
R_SETS = [
    ("mtcars", "mtcars", "mpg", [], "regression"),
    ("airquality", "airquality[!is.na(airquality$Ozone), ]", "Ozone", [], "regression"),
    ("ToothGrowth", "ToothGrowth", "len", ["supp"], "regression"),
    ("swiss", "swiss", "Fertility", [], "regression"),
    ("warpbreaks", "warpbreaks", "breaks", ["wool", "tension"], "regression"),
    ("ChickWeight", "as.data.frame(ChickWeight)", "weight", ["Chick", "Diet"], "regression"),
    ("quakes", "quakes", "mag", [], "regression"),
    ("trees", "trees", "Volume", [], "regression"),
    ("infert", 'infert[, c("education", "age", "parity", "induced", "spontaneous", "case")]',
     "case", ["education"], "binary"),
    ("Titanic", 'local({d <- as.data.frame(Titanic); '
     'd[rep(seq_len(nrow(d)), d$Freq), c("Class", "Sex", "Age", "Survived")]})',
     "Survived", ["Class", "Sex", "Age"], "binary"),
]


def sklearn_sets():
    out = []
    for name, loader, task in (("iris", skdata.load_iris, "multiclass"),
                               ("wine", skdata.load_wine, "multiclass"),
                               ("breast_cancer", skdata.load_breast_cancer, "binary"),
                               ("digits", skdata.load_digits, "multiclass"),
                               ("diabetes", skdata.load_diabetes, "regression")):
        bunch = loader(as_frame=True)
        X = bunch.data.copy()
        X.columns = [str(c).replace(" ", "_").replace("(", "").replace(")", "")
                     for c in X.columns]
        out.append(DataSet(name, task, X, bunch.target.rename("target")))
    return out


def r_sets(workdir):
    script = []
    for name, expr, _, _, _ in R_SETS:
        path = os.path.join(workdir, name + ".csv")
        script.append(f'write.csv({expr}, "{path}", row.names = FALSE)')
    subprocess.run(["Rscript", "-e", "; ".join(script)], check=True)
    out = []
    for name, _, target, categorical, task in R_SETS:
        frame = pd.read_csv(os.path.join(workdir, name + ".csv"),
                            dtype={c: str for c in categorical + [target]
                                   if task != "regression" or c != target})
        y = frame.pop(target)
        if task == "regression":
            y = y.astype(float)
        out.append(DataSet(name, task, frame, y, categorical))
    return out


def scorer(task):
    return r2_score if task == "regression" else accuracy_score


def make_model(kind, task):
    regression = task == "regression"
    if kind == "linear":
        return Ridge(alpha=1.0) if regression else LogisticRegression(max_iter=10000)
    if kind == "hgb":
        return (HistGradientBoostingRegressor(random_state=SEED) if regression
                else HistGradientBoostingClassifier(random_state=SEED))
    return KNeighborsRegressor() if regression else KNeighborsClassifier()


def encoder(categorical, numeric, scale):
    numeric_steps = [SimpleImputer(strategy="mean")]
    if scale:
        numeric_steps.append(StandardScaler())
    parts = []
    if categorical:
        parts.append(("cat", make_pipeline(SimpleImputer(strategy="most_frequent"),
                                           OneHotEncoder(handle_unknown="ignore", sparse_output=False)),
                      categorical))
    if numeric:
        parts.append(("num", make_pipeline(*numeric_steps), numeric))
    return ColumnTransformer(parts)


def folds(ds):
    if ds.task == "regression":
        return list(KFold(FOLDS, shuffle=True, random_state=SEED).split(ds.X))
    return list(StratifiedKFold(FOLDS, shuffle=True, random_state=SEED).split(ds.X, ds.y))


def fit_score(kind, ds, Xtr, ytr, Xte, yte, categorical, scale):
    numeric = [c for c in Xtr.columns if c not in categorical]
    if not categorical and not numeric:
        # Every input was excluded: the model can only learn the target's
        # centre (a constant input keeps the estimators well defined).
        Xtr = pd.DataFrame({"constant": np.zeros(len(Xtr))})
        Xte = pd.DataFrame({"constant": np.zeros(len(Xte))})
        numeric = ["constant"]
    pipe = Pipeline([("prep", encoder(categorical, numeric, scale)),
                     ("model", make_model(kind, ds.task))])
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        pipe.fit(Xtr, ytr)
        return scorer(ds.task)(yte, pipe.predict(Xte))


class Zelcraft:
    def __init__(self, binary, settings, extra):
        self.binary = binary
        self.settings = settings
        self.extra = extra

    def prepare(self, ds, train, test, workdir):
        """Prepares the training fold and replays the document on the test
        fold. Returns the prepared inputs of both and their categorical
        columns."""
        target = ds.y.name
        train_csv = os.path.join(workdir, "train.csv")
        test_csv = os.path.join(workdir, "test.csv")
        frame = ds.X.copy()
        frame[target] = ds.y
        frame.iloc[train].to_csv(train_csv, index=False)
        blank = frame.iloc[test].copy()
        blank[target] = np.nan  # the replay never sees the test target
        blank.to_csv(test_csv, index=False)
        # Categorical inputs are declared: some look like numbers (ChickWeight's chicks).
        schema = {"fields": {c: {"level": "nominal"} for c in ds.categorical}}
        schema_path = os.path.join(workdir, "schema.json")
        with open(schema_path, "w") as out:
            json.dump(schema, out)
        doc = os.path.join(workdir, "doc.pmml")
        level = "continuous" if ds.task == "regression" else "nominal"
        command = [self.binary, "prepare", train_csv, "--target", target,
                   "--target-level", level, "--schema", schema_path, "-o", doc,
                   "--data-out", os.path.join(workdir, "train.prep.csv"),
                   "--schema-out", os.path.join(workdir, "train.schema.json"), "-q"]
        if self.settings:
            command += ["--settings", self.settings]
        for assignment in self.extra:
            command += ["--set", assignment]
        run(command)
        run([self.binary, "apply", doc, test_csv, "-o", os.path.join(workdir, "test.prep.csv"),
             "--schema-out", os.path.join(workdir, "test.schema.json"), "-q"])
        prepared = []
        for part in ("train", "test"):
            with open(os.path.join(workdir, part + ".schema.json")) as f:
                fields = json.load(f)["fields"]
            categorical = [n for n, spec in fields.items() if spec["level"] != "continuous"]
            inputs = [n for n, spec in fields.items() if spec.get("role") != "target"]
            data = pd.read_csv(os.path.join(workdir, part + ".prep.csv"),
                               dtype={c: str for c in categorical}, keep_default_na=False,
                               na_values=[""])
            prepared.append(data[inputs])
        categorical = [c for c in categorical if c in inputs]
        return prepared[0], prepared[1], categorical


def run(command):
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"failed ({result.returncode}): {' '.join(command)}\n{result.stderr}")


def measure(ds, zelcraft):
    scores = {m: [] for m in MODELS}
    columns = []
    started = time.perf_counter()
    with tempfile.TemporaryDirectory() as workdir:
        for train, test in folds(ds):
            ytr, yte = ds.y.iloc[train], ds.y.iloc[test]
            if zelcraft is None:
                X = ds.X if ds.raw is None else ds.raw
                Xtr, Xte = X.iloc[train], X.iloc[test]
                categorical, scale = ds.categorical, True
            else:
                Xtr, Xte, categorical = zelcraft.prepare(ds, train, test, workdir)
                scale = False
            columns.append(Xtr.shape[1])
            for m in MODELS:
                scores[m].append(fit_score(m, ds, Xtr, ytr, Xte, yte, categorical, scale))
    elapsed = time.perf_counter() - started
    return {m: (float(np.mean(s)), float(np.std(s))) for m, s in scores.items()}, \
        float(np.mean(columns)), elapsed


def parse_args():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--zelcraft", default=os.path.join(here, "..", "build", "bin", "zelcraft"))
    parser.add_argument("--profiles", default=os.path.join(here, "..", "profiles"),
                        help="folder of settings profiles; each *.json is an arm")
    parser.add_argument("--datasets", help="comma-separated names (default: all)")
    parser.add_argument("--suite", choices=("clean", "messy", "all"), default="clean",
                        help="the bundled clean data sets, the messy ones of messy_sets.py, "
                             "or both")
    parser.add_argument("--arm", action="append", default=[], metavar="NAME=PROFILE[,KEY=VALUE...]",
                        help="an extra arm: a profile name (or 'default') with --set assignments")
    parser.add_argument("--only-extra", action="store_true",
                        help="run the raw arm and the extra arms only")
    return parser.parse_args()


def main():
    args = parse_args()
    profiles = sorted(f[:-5] for f in os.listdir(args.profiles) if f.endswith(".json"))
    arms = [("raw", None)]
    if not args.only_extra:
        arms.append(("default", Zelcraft(args.zelcraft, None, [])))
        for p in profiles:
            arms.append((p, Zelcraft(args.zelcraft, os.path.join(args.profiles, p + ".json"), [])))
    for spec in args.arm:
        name, _, rest = spec.partition("=")
        base, *assignments = rest.split(",")
        settings = None if base in ("", "default") else os.path.join(args.profiles, base + ".json")
        arms.append((name, Zelcraft(args.zelcraft, settings, assignments)))

    wanted = args.datasets.split(",") if args.datasets else None
    sets = []
    if args.suite != "messy":
        with tempfile.TemporaryDirectory() as workdir:
            sets = sklearn_sets() + r_sets(workdir)
        if wanted:
            sets = [d for d in sets if d.name in wanted]
    if args.suite != "clean":
        messy = messy_sets.messy_sets(DataSet, wanted)
        messy_sets.print_messiness(messy)
        sets += messy

    header = (f"{'data set':<14} {'task':<10} {'rows':>5} {'arm':<9} "
              f"{'linear':>13} {'gradient boosting':>17} {'k neighbours':>13} {'cols':>6} {'s':>6}")
    print(header)
    print("-" * len(header))
    results = {}
    for ds in sets:
        for arm, zelcraft in arms:
            scores, cols, elapsed = measure(ds, zelcraft)
            results[(ds.name, arm)] = scores
            cells = " ".join(f"{scores[m][0]:>6.3f} ±{scores[m][1]:.3f}".rjust(w)
                             for m, w in zip(MODELS, (13, 17, 13)))
            print(f"{ds.name:<14} {ds.task:<10} {len(ds.y):>5} {arm:<9} {cells} "
                  f"{cols:>6.1f} {elapsed:>6.1f}", flush=True)
    print()
    summarize(sets, [a for a, _ in arms], results)


def summarize(sets, arms, results):
    """Each profile on its family's model against raw data, and against two
    lines: at least the raw score less one fold-spread on every data set, and
    better than raw on at least half of them for the linear model. Scores
    that agree to the three decimals shown count as the same."""
    print("the family's profile against raw data; lines: within one fold-spread of raw "
          "on every data set, better on at least half for the linear model")
    for profile, model in FAMILY_MODEL.items():
        if profile not in arms:
            continue
        better, same, short = [], 0, []
        for ds in sets:
            raw_mean, raw_sd = results[(ds.name, "raw")][model]
            mean, _ = results[(ds.name, profile)][model]
            if round(mean, 3) > round(raw_mean, 3):
                better.append(ds.name)
            elif round(mean, 3) == round(raw_mean, 3):
                same += 1
            if mean < raw_mean - raw_sd:
                short.append(f"{ds.name} ({mean:.3f} < {raw_mean:.3f} - {raw_sd:.3f})")
        print(f"  {profile:<9} with {model:<6}: better on {len(better)} of {len(sets)} "
              f"({', '.join(better) or 'none'}), the same on {same}; "
              f"within one spread on {len(sets) - len(short)} of {len(sets)}"
              + (f"; short on {', '.join(short)}" if short else ""))


if __name__ == "__main__":
    main()
