"""ZelcraftPreparer in scikit-learn: inside a Pipeline with a logistic
regression under cross_val_score and GridSearchCV over a settings key, in
a ColumnTransformer, cloned with its parameters, and its three ways of
giving categorical fields."""

import warnings
from unittest import SkipTest

import numpy as np
import pandas as pd
import pytest
from sklearn.base import clone
from sklearn.compose import ColumnTransformer
from sklearn.linear_model import LogisticRegression
from sklearn.model_selection import GridSearchCV, cross_val_score
from sklearn.pipeline import Pipeline
from sklearn.utils.estimator_checks import check_estimator

import zelcraft
from zelcraft.sklearn import ZelcraftPreparer

pytestmark = pytest.mark.filterwarnings("ignore::zelcraft.ZelcraftWarning")


@pytest.fixture(scope="module")
def churn():
    rng = np.random.default_rng(7)
    n = 600
    frame = pd.DataFrame({
        "spend": rng.normal(50, 10, n),
        "tenure": rng.integers(1, 60, n),
        "plan": rng.choice(["basic", "plus", "pro"], n),
        "noise": rng.normal(size=n),
    })
    signal = (frame["spend"] - 50) / 10 + (frame["plan"] == "basic") * 1.5
    y = pd.Series(np.where(signal + rng.normal(0, 0.5, n) > 0.5, "left", "stayed"),
                  name="churn")
    return frame, y


def test_pipeline_under_cross_validation_and_grid_search(churn):
    X, y = churn
    pipeline = Pipeline([("zelcraft", ZelcraftPreparer()), ("model", LogisticRegression())])
    scores = cross_val_score(pipeline, X, y, cv=3)
    # The signal is strong: far better than the majority class.
    assert scores.min() > max(y.value_counts(normalize=True))
    search = GridSearchCV(pipeline, {"zelcraft__supervisedBinning": [True, False]}, cv=3)
    search.fit(X, y)
    assert set(search.cv_results_["param_zelcraft__supervisedBinning"]) == {True, False}
    binned = search.best_estimator_.named_steps["zelcraft"].preparation_
    assert binned.summary["target"] == 1


def test_clone_get_and_set_params(churn):
    preparer = ZelcraftPreparer(settings={"featureSelection": False}, categorical="codes",
                                featureConstruction=False)
    params = preparer.get_params()
    # A settings key is a parameter under its snake-case name.
    assert params == {"settings": {"featureSelection": False}, "schema": None,
                      "categorical": "codes", "frequency_weight": None, "target_level": "auto",
                      "handle_unknown": "missing", "progress": False,
                      "feature_construction": False}
    copy = clone(preparer)
    assert copy.get_params() == params and copy is not preparer
    copy.set_params(supervisedBinning=False, categorical="onehot", target_sd=2.0)
    assert copy.get_params()["supervised_binning"] is False
    assert copy.get_params()["target_sd"] == 2.0
    assert "supervised_binning" not in preparer.get_params()
    with pytest.raises(ValueError, match="supervisedBining"):
        copy.set_params(supervisedBining=False)
    # The keyword wins over the settings dict, in either spelling.
    X, y = churn
    for keyword in ({"supervisedBinning": False}, {"supervised_binning": False}):
        kept = ZelcraftPreparer(settings={"supervisedBinning": True}, **keyword).fit(X, y)
        assert "BinValues" not in kept.preparation_.document


def test_passes_the_estimator_checks():
    checks = list(check_estimator(ZelcraftPreparer(), generate_only=True))
    assert len(checks) > 30
    failed = []
    for estimator, check in checks:
        try:
            check(estimator)
        except SkipTest:
            pass
        except Exception as error:  # noqa: BLE001 - every failure is listed
            failed.append(f"{getattr(check, 'func', check).__name__}: {error!r:.200}")
    assert not failed, failed


def test_cross_validation_runs_with_warnings_as_errors(churn):
    X, y = churn
    X = X.assign(joined=pd.date_range("2021-01-01", periods=len(X), freq="9h"))
    pipeline = Pipeline([("zelcraft", ZelcraftPreparer()), ("model", LogisticRegression())])
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        scores = cross_val_score(pipeline, X, y, cv=3)
    assert scores.min() > 0.6
    # What did not apply is still said, among the preparation's warnings.
    fitted = ZelcraftPreparer().fit(X, y).preparation_
    assert 210115 in [code for code, _ in fitted.warnings]


def price_table(rows=900, seed=3):
    rng = np.random.default_rng(seed)
    X = pd.DataFrame({"area": rng.gamma(3.0, 200.0, rows), "rooms": rng.integers(1, 7, rows)})
    price = np.round(20_000 + X["area"] * 150 + rng.normal(0, 5000, rows)).astype(np.int64)
    return X, pd.Series(price, name="price")


def test_target_level_follows_the_labels(churn):
    def level(y, **params):
        preparer = ZelcraftPreparer(settings={"featureSelection": False}, **params)
        fields = preparer.fit(X, y).preparation_.fields.set_index("name")
        return fields.loc[y.name, "level"]

    X, prices = price_table()
    # Whole-number prices, hundreds of them: continuous, whatever their dtype.
    assert level(prices) == "continuous"
    assert level(prices.astype(np.int32)) == "continuous"
    assert level(prices.astype(np.float64)) == "continuous"
    # Whole numbers within the category limit are labels, as texts and flags
    # are; past a lowered limit they count as continuous again.
    grades = pd.Series(prices % 5, name="grade")
    assert level(grades) == "categorical"
    assert level(grades.astype(np.float64)) == "categorical"
    assert level(grades, max_n_of_unique_categories=4) == "continuous"
    assert level(pd.Series(prices > 60_000, name="dear")) == "categorical"
    assert level(grades, target_level="ordinal") == "ordinal"
    assert level(grades, target_level="continuous") == "continuous"
    # Real numbers are continuous.
    assert level(pd.Series(prices / 7.0, name="ratio")) == "continuous"
    with pytest.raises(ValueError, match="target_level"):
        ZelcraftPreparer(target_level="binary").fit(X, prices)


def test_arrays_after_a_frame_are_taken_by_position(churn):
    X, y = churn
    preparer = ZelcraftPreparer(categorical="codes").fit(X, y)
    by_name = preparer.transform(X)
    reordered = X[list(reversed(X.columns))]
    np.testing.assert_array_equal(preparer.transform(reordered), by_name)
    # An array is the training frame's columns by position.
    np.testing.assert_array_equal(preparer.transform(X.to_numpy()), by_name)
    with pytest.raises(ValueError, match="X has 3 features, but ZelcraftPreparer is expecting 4"):
        preparer.transform(X.to_numpy()[:, :3])
    # A frame needs only the columns the prepared fields come from.
    used = {f["origin"] for f in preparer.preparation_.field_facts() if f["enabled"]}
    unused = [c for c in X.columns if c not in used]
    assert unused, "the noise column should be excluded"
    np.testing.assert_array_equal(preparer.transform(X.drop(columns=unused)), by_name)


def test_bad_input_raises_value_errors(churn):
    X, y = churn
    preparer = ZelcraftPreparer()
    for bad, message in ((X.iloc[:0], "0 samples"), (X.iloc[:1], "1 sample"),
                         (X["spend"].to_numpy(), "Reshape your data"),
                         (X[["spend"]].to_numpy() + 1j, "[Cc]omplex")):
        with pytest.raises(zelcraft.ZelcraftInputError, match=message):
            preparer.fit(bad, y.iloc[:len(bad)])
    with pytest.raises(zelcraft.ZelcraftInputError, match="y has 599 values for 600 rows"):
        preparer.fit(X, y.iloc[1:])
    with pytest.raises(ValueError, match="categorical"):
        ZelcraftPreparer(categorical="dummies").fit(X, y)


def test_categorical_outputs_and_feature_names(churn):
    X, y = churn
    onehot = ZelcraftPreparer(supervisedBinning=False, supervisedMerging=False).fit(X, y)
    names = list(onehot.get_feature_names_out())
    plan_columns = [n for n in names if n.startswith("plan")]
    assert len(plan_columns) == 3  # one per plan
    matrix = onehot.transform(X)
    assert matrix.shape == (len(X), len(names))
    block = matrix[:, [names.index(n) for n in plan_columns]]
    assert (block.sum(axis=1) == 1).all()
    onehot.set_output(transform="pandas")
    frame = onehot.transform(X)
    assert list(frame.columns) == names and frame.index.equals(X.index)

    codes = ZelcraftPreparer(categorical="codes", supervisedBinning=False,
                             supervisedMerging=False).fit(X, y)
    unseen = X.head(3).assign(plan=["pro", "gold", None])
    plan = list(codes.get_feature_names_out()).index(plan_columns[0].rsplit("_", 1)[0])
    assert codes.transform(unseen)[:, plan].tolist()[1:] == [-1.0, -1.0]

    categoricals = ZelcraftPreparer(categorical="pandas").fit(X, y).transform(X)
    assert any(isinstance(t, pd.CategoricalDtype) for t in categoricals.dtypes)


def test_column_transformer_and_arrays(churn):
    X, y = churn
    columns = ColumnTransformer([("zelcraft", ZelcraftPreparer(), ["spend", "plan", "noise"])])
    out = Pipeline([("columns", columns), ("model", LogisticRegression())]).fit(X, y)
    assert out.score(X, y) > 0.7
    # Arrays take column names x0, x1, ...; y without a name is "target".
    preparer = ZelcraftPreparer().fit(X[["spend", "noise"]].to_numpy(), (y == "left").to_numpy())
    assert preparer.preparation_.fields["name"].tolist()[:3] == ["x0", "x1", "target"]
    # After an array fit a frame is taken by position too.
    np.testing.assert_array_equal(preparer.transform(X[["spend", "noise"]]),
                                  preparer.transform(X[["spend", "noise"]].to_numpy()))
