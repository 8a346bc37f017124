"""ZelcraftPreparer in scikit-learn: inside a Pipeline with a logistic
regression under cross_val_score and GridSearchCV over a settings key, in
a ColumnTransformer, cloned with its parameters, and its three ways of
giving categorical fields."""

import numpy as np
import pandas as pd
import pytest
from sklearn.base import clone
from sklearn.compose import ColumnTransformer
from sklearn.linear_model import LogisticRegression
from sklearn.model_selection import GridSearchCV, cross_val_score
from sklearn.pipeline import Pipeline

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
    assert params == {"settings": {"featureSelection": False}, "schema": None,
                      "categorical": "codes", "frequency_weight": None, "progress": False,
                      "handle_unknown": "missing", "featureConstruction": False}
    copy = clone(preparer)
    assert copy.get_params() == params and copy is not preparer
    copy.set_params(supervisedBinning=False, categorical="onehot")
    assert copy.get_params()["supervisedBinning"] is False
    assert "supervisedBinning" not in preparer.get_params()
    with pytest.raises(ValueError, match="supervisedBining"):
        copy.set_params(supervisedBining=False)
    # The keyword wins over the settings dict.
    X, y = churn
    kept = ZelcraftPreparer(settings={"supervisedBinning": True},
                            supervisedBinning=False).fit(X, y)
    assert "BinValues" not in kept.preparation_.document


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
