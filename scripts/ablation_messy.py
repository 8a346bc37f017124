"""What would each candidate preparation step give each model family on the
messy tables? Adds the steps by hand, one at a time and all together, on
top of the raw pipeline (with a linear model, gradient boosting and 5
nearest neighbours) and on top of each profile's prepared data (with that
profile's own model), in the same 5 folds as measure_models.py.

The steps, each fitted on the training fold only:
- weekday: the weekday of each date as a nominal input; month: its month
  as a categorical input; hour: the hour of each time of day as a
  categorical input; calendar: all three.
- signed_log: sign(x) log(1 + |x|) of each continuous input whose |skewness|
  on the training fold exceeds 1 (signed_log2: exceeds 2); boxcox: Box-Cox
  of x - min + 1 (min of the training fold; smaller test values are raised
  to it) with the likelihood's lambda.
- missing: a NAME_missing 0/1 input for each input with at least 5 % of its
  training values missing (missing1: 1 %), and every input the profile
  screened out for its missing share kept, filled (with the mean, or a
  category of its own) beside its indicator.
- target10/target20/target50: each categorical input of at least 10/20/50
  categories replaced by the smoothed mean of the target per category
  ((sum + 10 * overall mean) / (count + 10)); a categorical target of k > 2
  classes gives one such field per class against the rest. Cross-fitted:
  each training row's value comes from the other four of five inner folds,
  the test fold's from the whole training fold; an unseen category gets the
  overall mean. A field the profile screened out (more than 100 categories)
  comes back encoded.
- all: calendar, signed_log, missing and target20 together.

On a profile's prepared data a step replaces the column the profile made of
the field (found by its name) with the step's version, z-scored where the
profile rescales; the raw pipeline imputes and scales as usual.

Prints per data set the fold means of each arm and step with the change
against no step (mean and standard deviation of the per-fold changes), then
a summary per family and step: on how many sets the step helps or hurts by
more than the spread of its per-fold changes. Results also go to
build/ablation-messy.json. Zelcraft's prepared folds are cached under
build/study-cache/ (delete it after changing Zelcraft).

    OMP_NUM_THREADS=1 /usr/bin/python3 scripts/ablation_messy.py [--datasets a,b] [--steps s,t]

Nothing here is part of the tests.
"""

import argparse
import json
import os
import sys
import warnings

import numpy as np
import pandas as pd
from scipy import stats
from sklearn.model_selection import KFold

import measure_models as mm
import messy_sets

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD = os.path.join(HERE, "..", "build")
PROFILE_MODEL = {"linear": "linear", "trees": "hgb", "distance": "knn"}
RESCALED = {"raw": False, "linear": True, "trees": False, "distance": True}
SUFFIXES = ("_transformed", "_days", "_months", "_years", "_hours", "_minutes", "_seconds")
STEPS = ("none", "weekday", "month", "hour", "calendar", "signed_log", "signed_log2", "boxcox",
         "missing", "missing1", "target10", "target20", "target50", "all")
SMOOTHING = 10.0


class Fold:
    """One arm's inputs on one fold, and the original columns beside them."""

    def __init__(self, Xtr, Xte, categorical, orig_tr, orig_te, ytr, ds, arm):
        self.Xtr, self.Xte = Xtr.copy(), Xte.copy()
        self.categorical = list(categorical)
        self.orig_tr, self.orig_te, self.ytr, self.ds, self.arm = orig_tr, orig_te, ytr, ds, arm

    def column_of(self, field):
        """The arm's column made of an original field, or None when the arm
        dropped it."""
        if field in self.Xtr.columns:
            return field
        for suffix in SUFFIXES:
            if field + suffix in self.Xtr.columns:
                return field + suffix
        return None

    def put(self, name, tr, te, categorical=False, replace=None):
        """Adds (or puts in place of `replace`) one column; continuous
        columns are mean-filled and z-scored where the arm rescales."""
        if replace is not None:
            self.Xtr = self.Xtr.drop(columns=[replace])
            self.Xte = self.Xte.drop(columns=[replace])
            if replace in self.categorical:
                self.categorical.remove(replace)
        tr, te = pd.Series(tr, index=self.Xtr.index), pd.Series(te, index=self.Xte.index)
        if categorical:
            self.categorical.append(name)
            tr, te = tr.astype(object), te.astype(object)
        elif RESCALED[self.arm]:
            mean = tr.mean()
            sd = tr.std(ddof=0) or 1.0
            tr, te = (tr.fillna(mean) - mean) / sd, (te.fillna(mean) - mean) / sd
        self.Xtr[name], self.Xte[name] = tr.to_numpy(), te.to_numpy()


def continuous_fields(ds):
    calendar = set(ds.dates) | set(ds.times)
    return [c for c in ds.X.columns if c not in ds.categorical and c not in calendar]


def step_calendar(f, parts):
    for d in f.ds.dates:
        when_tr, when_te = pd.to_datetime(f.orig_tr[d]), pd.to_datetime(f.orig_te[d])
        if "weekday" in parts:
            f.put(d + "_weekday", when_tr.dt.dayofweek.astype("Int64").astype(str),
                  when_te.dt.dayofweek.astype("Int64").astype(str), categorical=True)
        if "month" in parts:
            f.put(d + "_month", when_tr.dt.month.astype("Int64").astype(str),
                  when_te.dt.month.astype("Int64").astype(str), categorical=True)
    if "hour" in parts:
        for t in f.ds.times:
            f.put(t + "_hour", f.orig_tr[t].str[:2], f.orig_te[t].str[:2], categorical=True)


def skewed(f, threshold):
    out = []
    for c in continuous_fields(f.ds):
        values = f.orig_tr[c].dropna()
        if values.nunique() > 2 and abs(float(values.skew())) > threshold:
            out.append(c)
    return out


def step_skew(f, threshold, method):
    for c in skewed(f, threshold):
        column = f.column_of(c)
        if column is None:
            continue
        tr, te = f.orig_tr[c].astype(float), f.orig_te[c].astype(float)
        if method == "signed_log":
            new_tr, new_te = np.sign(tr) * np.log1p(tr.abs()), np.sign(te) * np.log1p(te.abs())
        else:
            low = tr.min()
            shifted_tr, shifted_te = tr - low + 1.0, te.clip(lower=low) - low + 1.0
            with warnings.catch_warnings():
                warnings.simplefilter("ignore")
                lam = stats.boxcox_normmax(shifted_tr.dropna().to_numpy(), method="mle")
            new_tr = pd.Series(stats.boxcox(shifted_tr.fillna(1.0), lam), index=tr.index).where(
                tr.notna())
            new_te = pd.Series(stats.boxcox(shifted_te.fillna(1.0), lam), index=te.index).where(
                te.notna())
        f.put(column, new_tr, new_te, replace=column)


def step_missing(f, threshold):
    for c in f.ds.X.columns:
        share = float(f.orig_tr[c].isna().mean())
        if share < threshold or share == 1.0:
            continue
        f.put(c + "_missing", f.orig_tr[c].isna().astype(float), f.orig_te[c].isna().astype(float))
        if f.column_of(c) is None and c not in f.ds.dates and c not in f.ds.times:
            # Screened out by the profile: keep it beside its indicator.
            if c in f.ds.categorical:
                f.put(c + "_kept", f.orig_tr[c].fillna("(missing)"),
                      f.orig_te[c].fillna("(missing)"), categorical=True)
            else:
                f.put(c + "_kept", f.orig_tr[c].astype(float), f.orig_te[c].astype(float))


def target_columns(ytr, task):
    """The target as one or more numeric columns: itself, the positive class
    (the second in sorted order) as 0/1, or one 0/1 column per class."""
    if task == "regression":
        return {"": ytr.astype(float).to_numpy()}
    classes = sorted(ytr.unique())
    if len(classes) == 2:
        return {"": (ytr == classes[1]).astype(float).to_numpy()}
    return {"_" + messy_sets.clean_name(str(k)): (ytr == k).astype(float).to_numpy()
            for k in classes}


def smoothed_means(keys_fit, target, keys_apply):
    prior = float(target.mean())
    table = pd.DataFrame({"k": keys_fit, "t": target}).groupby("k")["t"].agg(["sum", "count"])
    means = (table["sum"] + SMOOTHING * prior) / (table["count"] + SMOOTHING)
    return pd.Series(keys_apply).map(means).fillna(prior).to_numpy()


def step_target(f, min_categories):
    targets = target_columns(f.ytr, f.ds.task)
    inner = list(KFold(5, shuffle=True, random_state=mm.SEED).split(f.orig_tr))
    for c in f.ds.categorical:
        keys_tr = f.orig_tr[c].fillna("(missing)").astype(str).to_numpy()
        keys_te = f.orig_te[c].fillna("(missing)").astype(str).to_numpy()
        if len(set(keys_tr)) < min_categories:
            continue
        # A field the profile screened out (too many categories, say) comes
        # back encoded.
        column = f.column_of(c)
        for suffix, t in targets.items():
            encoded_tr = np.empty(len(keys_tr))
            for fit, held in inner:
                encoded_tr[held] = smoothed_means(keys_tr[fit], t[fit], keys_tr[held])
            encoded_te = smoothed_means(keys_tr, t, keys_te)
            f.put(c + "_target" + suffix, encoded_tr, encoded_te, replace=column)
            column = None


def apply_step(f, step):
    if step in ("weekday", "month", "hour"):
        step_calendar(f, {step})
    elif step == "calendar":
        step_calendar(f, {"weekday", "month", "hour"})
    elif step == "signed_log":
        step_skew(f, 1.0, "signed_log")
    elif step == "signed_log2":
        step_skew(f, 2.0, "signed_log")
    elif step == "boxcox":
        step_skew(f, 1.0, "boxcox")
    elif step == "missing":
        step_missing(f, 0.05)
    elif step == "missing1":
        step_missing(f, 0.01)
    elif step.startswith("target"):
        step_target(f, int(step[len("target"):]))
    elif step == "all":
        step_calendar(f, {"weekday", "month", "hour"})
        step_skew(f, 1.0, "signed_log")
        step_missing(f, 0.05)
        step_target(f, 20)


def applicable(ds, step):
    """Whether a step can change anything on this set (else it is skipped)."""
    if step in ("weekday", "month", "calendar"):
        return bool(ds.dates) or (step == "calendar" and bool(ds.times))
    if step == "hour":
        return bool(ds.times)
    if step.startswith("signed_log") or step == "boxcox":
        threshold = 2.0 if step == "signed_log2" else 1.0
        return any(ds.X[c].nunique() > 2 and abs(float(ds.X[c].skew())) > threshold
                   for c in continuous_fields(ds))
    if step.startswith("missing"):
        threshold = 0.01 if step == "missing1" else 0.05
        return bool((ds.X.isna().mean() >= threshold).any())
    if step.startswith("target"):
        n = int(step[len("target"):])
        return any(ds.X[c].nunique() >= n for c in ds.categorical)
    return True


def prepared(ds, profile, k, train, test, zelcraft):
    """A profile's prepared fold, cached under build/study-cache/."""
    where = os.path.join(BUILD, "study-cache", ds.name, profile, str(k))
    meta = os.path.join(where, "columns.json")
    if not os.path.exists(meta):
        os.makedirs(where, exist_ok=True)
        Xtr, Xte, categorical = zelcraft.prepare(ds, train, test, where)
        Xtr.to_csv(os.path.join(where, "train.inputs.csv"), index=False)
        Xte.to_csv(os.path.join(where, "test.inputs.csv"), index=False)
        with open(meta, "w") as out:
            json.dump({"categorical": categorical}, out)
    with open(meta) as f:
        categorical = json.load(f)["categorical"]
    frames = [pd.read_csv(os.path.join(where, part + ".inputs.csv"),
                          dtype={c: str for c in categorical}, keep_default_na=False,
                          na_values=[""]) for part in ("train", "test")]
    return frames[0], frames[1], categorical


def run_set(ds, steps, zelcraft_binary, profiles_dir):
    arms = ["raw"] + list(PROFILE_MODEL)
    zelcraft = {p: mm.Zelcraft(zelcraft_binary, os.path.join(profiles_dir, p + ".json"), [])
                for p in PROFILE_MODEL}
    steps = [s for s in steps if applicable(ds, s)]
    scores = {}  # (arm, model, step) -> per-fold scores
    for k, (train, test) in enumerate(mm.folds(ds)):
        ytr, yte = ds.y.iloc[train], ds.y.iloc[test]
        orig_tr, orig_te = ds.X.iloc[train], ds.X.iloc[test]
        for arm in arms:
            if arm == "raw":
                Xtr, Xte, categorical = ds.raw.iloc[train], ds.raw.iloc[test], ds.categorical
                models = mm.MODELS
            else:
                Xtr, Xte, categorical = prepared(ds, arm, k, train, test, zelcraft[arm])
                Xtr.index, Xte.index = orig_tr.index, orig_te.index
                models = (PROFILE_MODEL[arm],)
            for step in steps:
                f = Fold(Xtr, Xte, categorical, orig_tr, orig_te, ytr, ds, arm)
                apply_step(f, step)
                for m in models:
                    score = mm.fit_score(m, ds, f.Xtr, ytr, f.Xte, yte, f.categorical,
                                         scale=(arm == "raw"))
                    scores.setdefault((arm, m, step), []).append(score)
    return scores


def report_set(ds, scores):
    print(f"{ds.name} ({ds.task}, {len(ds.y)} rows)")
    for (arm, m, step), s in scores.items():
        base = np.array(scores[(arm, m, "none")])
        s = np.array(s)
        change = s - base
        cell = "" if step == "none" else f"{change.mean():+.4f} ±{change.std():.4f}"
        print(f"  {arm:<9} {m:<7} {step:<12} {s.mean():.4f} ±{s.std():.4f}  {cell}")
    sys.stdout.flush()


def summarize(results, steps):
    """Per arm and model, per step: the sets where the mean change exceeds
    the spread of the per-fold changes, either way."""
    print("\nsummary: per arm and model, per step, the sets where the step helps (+) or hurts (-)"
          " by more than the fold-spread of its change, with the change; mean change over the"
          " sets it applies to")
    keys = sorted({(a, m) for r in results.values() for (a, m, _) in r},
                  key=lambda am: (["raw", "linear", "trees", "distance"].index(am[0]),
                                  mm.MODELS.index(am[1])))
    for arm, m in keys:
        print(f"{arm} with {m}:")
        for step in steps:
            if step == "none":
                continue
            better, worse, changes = [], [], []
            for name, r in results.items():
                if (arm, m, step) not in r:
                    continue
                change = np.array(r[(arm, m, step)]) - np.array(r[(arm, m, "none")])
                changes.append(change.mean())
                if change.mean() > change.std() and change.mean() > 0.0005:
                    better.append(f"{name} {change.mean():+.3f}")
                elif change.mean() < -change.std() and change.mean() < -0.0005:
                    worse.append(f"{name} {change.mean():+.3f}")
            if changes:
                print(f"  {step:<12} on {len(changes):>2}: mean {np.mean(changes):+.4f}; "
                      f"+ {', '.join(better) or '-'}; - {', '.join(worse) or '-'}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--zelcraft", default=os.path.join(BUILD, "bin", "zelcraft"))
    parser.add_argument("--profiles", default=os.path.join(HERE, "..", "profiles"))
    parser.add_argument("--datasets", help="comma-separated names (default: all messy sets)")
    parser.add_argument("--steps", help="comma-separated steps (default: all): " + ", ".join(STEPS))
    parser.add_argument("--out", default=os.path.join(BUILD, "ablation-messy.json"))
    args = parser.parse_args()
    steps = ["none"] + [s for s in (args.steps.split(",") if args.steps else STEPS) if s != "none"]
    sets = messy_sets.messy_sets(mm.DataSet, args.datasets.split(",") if args.datasets else None)
    results = {}
    if os.path.exists(args.out):
        with open(args.out) as f:
            results = {name: {tuple(k.split("|")): v for k, v in r.items()}
                       for name, r in json.load(f).items()}
    for ds in sets:
        results[ds.name] = run_set(ds, steps, args.zelcraft, args.profiles)
        report_set(ds, results[ds.name])
        with open(args.out, "w") as out:
            json.dump({name: {"|".join(k): v for k, v in r.items()}
                       for name, r in results.items()}, out)
    summarize({ds.name: results[ds.name] for ds in sets}, steps)


if __name__ == "__main__":
    main()
