"""Writes a taxi-like CSV table for the scale-out benchmarks: trip dates,
a pickup zone with 260 categories (past the limit of 100) met in an order
that drifts through the file, a payment type, passenger counts, distances
and fares with missing values and outliers, and a tip target.
    python3 scripts/taxi_table.py OUT.csv [ROWS (1,000,000)] [SEED]"""

import sys

import numpy as np
import pandas as pd


def taxi(rows, seed=1):
    rng = np.random.default_rng(seed)
    distance = rng.gamma(2.0, 1.6, rows).round(2)
    minutes = (4 + 3.1 * distance + rng.gamma(2.0, 2.0, rows)).round(1)
    fare = (3.0 + 1.75 * distance + 0.35 * minutes + rng.normal(0, 0.8, rows)).round(2)
    fare[rng.choice(rows, rows // 2000, replace=False)] *= 40
    pickup = pd.Timestamp("2023-01-01") + pd.to_timedelta(rng.integers(0, 730 * 24 * 60, rows),
                                                         "min")
    data = pd.DataFrame({
        "pickup_date": pickup.strftime("%Y-%m-%d"),
        "pickup_zone": np.char.add("Z", ((np.arange(rows) // 97) * 61 % 260).astype(str)),
        "dropoff_zone": np.char.add("D", rng.integers(0, 60, rows).astype(str)),
        "payment": rng.choice(["card", "cash", "no charge", "dispute"], rows,
                              p=[0.7, 0.26, 0.03, 0.01]),
        "passengers": rng.choice([1, 2, 3, 4, 5, 6], rows, p=[.7, .15, .06, .04, .03, .02]),
        "distance": distance,
        "minutes": minutes,
        "fare": fare,
        "tolls": np.where(rng.random(rows) < 0.08, rng.choice([6.55, 12.75], rows), 0.0),
    })
    data.loc[rng.choice(rows, rows // 40, replace=False), "passengers"] = np.nan
    data.loc[rng.choice(rows, rows // 100, replace=False), "minutes"] = np.nan
    data["passengers"] = data["passengers"].astype("Int64")
    data["tip"] = (np.where(data["payment"] == "card", 0.18 * fare, 0)
                   + rng.normal(0, 0.4, rows)).round(2)
    return data


if __name__ == "__main__":
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 1_000_000
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    taxi(rows, seed).to_csv(sys.argv[1], index=False)
