"""Where does the trees profile fall below raw data with gradient boosting,
and what does its supervised merging do there? Clean tables of two kinds:
many classes with few inputs (vowel with its speaker, olive's nine areas,
mpg's car classes with few-valued numbers, glass), and panels of units by
year with a continuous target (the unit a categorical input of 11 to 185
categories: Fatalities, Produc, Grunfeld, gapminder). For each: gradient
boosting on raw data, on the trees profile, and on the profile with merging
changed ("supervisedMergingPValue" 0.05 and 0.01, merging off, an input
never merged into one category: "supervisedMergingKeepUnrelated"), with the
measurement-level check off, or with nominal inputs of more than 100
categories kept instead of screened out ("maxNOfUniqueCategories" 1000;
alone, with merging off and with the keep key); then what the profile's
merging does on the whole table (from Zelcraft's summary: each merge, its
source and the categories it kept).

    OMP_NUM_THREADS=1 /usr/bin/python3 scripts/trees_merging.py [--datasets vowel,produc]
        [--profile profiles/trees.json] [--arms raw,trees,keep]

The tables load as the messy ones do (messy_sets.py: cached under
build/study-data/, at most 5,000 rows). Nothing here is part of
the tests.
"""

import argparse
import os
import subprocess
import tempfile

import measure_models as mm
import messy_sets
from messy_sets import MessySet

HERE = os.path.dirname(os.path.abspath(__file__))

SETS = [
    MessySet("vowel", 'local({data("Vowel", package = "mlbench", envir = environment()); Vowel})',
             "Class", "multiclass", "nothing; V1 is the speaker (15 categories)"),
    MessySet("olive", 'local({d <- dslabs::olive; d$region <- NULL; d})', "area", "multiclass",
             "region (the three regions group the nine areas: the target's twin)"),
    MessySet("mpg", 'local({d <- as.data.frame(ggplot2::mpg); d$model <- NULL; d})', "class",
             "multiclass", "model (each model is of one class: the target's twin); year and cyl "
             "are few-valued numbers"),
    MessySet("glass", 'local({data("Glass", package = "mlbench", envir = environment()); Glass})',
             "Type", "multiclass", "nothing"),
    MessySet("fatalities", 'local({data("Fatalities", package = "AER", envir = environment()); '
             'd <- Fatalities; d$fatal_rate <- d$fatal / d$pop * 10000; '
             'd[, c("state", "year", "spirits", "unemp", "income", "emppop", "beertax", '
             '"baptist", "mormon", "drinkage", "dry", "youngdrivers", "miles", "breath", "jail", '
             '"service", "fatal_rate")]})', "fatal_rate", "regression",
             "the fatality counts (the target's numerator and its parts), pop and the age-group "
             "populations (its denominator), afatal and the fatality ratios"),
    MessySet("produc", 'local({data("Produc", package = "plm", envir = environment()); Produc})',
             "gsp", "regression", "nothing"),
    MessySet("grunfeld", 'local({data("Grunfeld", package = "AER", envir = environment()); '
             'Grunfeld})', "invest", "regression", "nothing; firm is the unit (11 categories)"),
    MessySet("gapminder_cc", "local({d <- dslabs::gapminder; d[complete.cases(d), ]})",
             "life_expectancy", "regression", "the rows with a missing value; 5,000 of 7,139 rows"),
]


def merges(ds, binary, settings, extra):
    """Zelcraft's summary lines about merging and recasting, prepared on the
    whole table with the given settings."""
    with tempfile.TemporaryDirectory() as workdir:
        frame = ds.X.copy()
        frame[ds.y.name] = ds.y
        csv = os.path.join(workdir, "data.csv")
        frame.to_csv(csv, index=False)
        schema = os.path.join(workdir, "schema.json")
        with open(schema, "w") as out:
            out.write('{"fields": {' + ", ".join(f'"{c}": {{"level": "nominal"}}'
                                                  for c in ds.categorical) + "}}")
        level = "continuous" if ds.task == "regression" else "nominal"
        command = [binary, "prepare", csv, "--target", ds.y.name, "--target-level", level,
                   "--schema", schema, "--settings", settings, "-o",
                   os.path.join(workdir, "doc.pmml")]
        for assignment in extra:
            command += ["--set", assignment]
        result = subprocess.run(command, capture_output=True, text=True)
        return [line for line in result.stderr.splitlines()
                if any(word in line for word in ("merg", "recast", "level", "fields recommended",
                                                 "categories"))]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--zelcraft", default=os.path.join(HERE, "..", "build", "bin", "zelcraft"))
    parser.add_argument("--datasets", help="comma-separated names (default: all)")
    parser.add_argument("--profile", default=os.path.join(HERE, "..", "profiles", "trees.json"),
                        help="the profile the arms change (default: the shipped trees profile)")
    parser.add_argument("--arms", help="comma-separated arm names (default: all)")
    args = parser.parse_args()
    trees = args.profile
    arms = [("raw", None), ("trees", []),
            ("p0.05", ["supervisedMergingPValue=0.05"]),
            ("p0.01", ["supervisedMergingPValue=0.01"]),
            ("nomerge", ["supervisedMerging=false"]),
            ("nolevel", ["checkFeatureMeasureLevel=false"]),
            # Turning the screen off still leaves a field past the limit
            # excluded: the limit itself must be raised.
            ("allcats", ["excludeFeatureIfHasManyUniqueCatogories=true",
                         "maxNOfUniqueCategories=1000"]),
            ("allcats_nomerge", ["excludeFeatureIfHasManyUniqueCatogories=true",
                                 "maxNOfUniqueCategories=1000", "supervisedMerging=false"]),
            ("keep", ["supervisedMergingKeepUnrelated=true"]),
            ("allcats_keep", ["excludeFeatureIfHasManyUniqueCatogories=true",
                              "maxNOfUniqueCategories=1000", "supervisedMergingKeepUnrelated=true"])]
    if args.arms:
        arms = [arm for arm in arms if arm[0] in args.arms.split(",")]
    sets = messy_sets.messy_sets(mm.DataSet, args.datasets.split(",") if args.datasets else None,
                                 SETS)
    print(f"{'data set':<13} {'task':<10} {'rows':>5} {'classes':>7} "
          + " ".join(f"{a:>15}" for a, _ in arms))
    for ds in sets:
        cells = []
        for arm, extra in arms:
            zelcraft = None if extra is None else mm.Zelcraft(args.zelcraft, trees, extra)
            scores, cols, _ = mm.measure(ds, zelcraft)
            mean, sd = scores["hgb"]
            cells.append(f"{mean:.3f} ±{sd:.3f}".rjust(15))
        classes = ds.y.nunique() if ds.task != "regression" else "-"
        print(f"{ds.name:<13} {ds.task:<10} {len(ds.y):>5} {classes!s:>7} " + " ".join(cells),
              flush=True)
    print("\nwhat the trees profile merges and recasts (the whole table):")
    for ds in sets:
        for arm, extra in (("trees", []), ("p0.05", ["supervisedMergingPValue=0.05"])):
            print(f"{ds.name} ({arm}):")
            for line in merges(ds, args.zelcraft, trees, extra):
                print("   ", line)


if __name__ == "__main__":
    main()
