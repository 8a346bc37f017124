# step_zelcraft in a recipe: between other steps, baked on training and new
# data alike, tidied, printed, and prepared again on each resample.

credit <- function() {
  data("credit_data", package = "modeldata", envir = environment())
  credit_data
}

linear_recipe <- function(data) {
  recipes::recipe(Price ~ ., data = data) |>
    recipes::step_naomit(recipes::all_predictors()) |>
    step_zelcraft(recipes::all_predictors(), outcome = "Price", profile = "linear") |>
    recipes::step_dummy(recipes::all_nominal_predictors())
}

test_that("bake gives the prepared fields in use between naomit and dummy steps", {
  skip_if_not_installed("modeldata")
  data <- credit()
  trained <- suppressWarnings(recipes::prep(linear_recipe(data)))
  baked <- recipes::bake(trained, new_data = NULL)
  complete <- stats::na.omit(data[, setdiff(names(data), "Price")])
  expect_equal(nrow(baked), nrow(complete))
  expect_true("Price" %in% names(baked))
  expect_true(all(vapply(baked, is.numeric, TRUE)))
  # The step's own output, replayed: the fields in use but the target.
  step <- trained$steps[[2]]
  expect_true(step$trained)
  fields <- step$preparation$fields
  used <- fields$name[fields$used & fields$kind != "target"]
  expect_setequal(step$outputs, used)
  # New data bakes to what predict gives for the same rows.
  rows <- stats::na.omit(data)[1:25, ]
  new <- recipes::bake(trained, new_data = rows, recipes::all_predictors())
  direct <- predict(step$preparation, rows)
  continuous <- intersect(names(direct)[vapply(direct, is.numeric, TRUE)], names(new))
  expect_gt(length(continuous), 3)
  for (name in continuous) expect_identical(new[[name]], direct[[name]], label = name)
})

test_that("tidy has one row per field made from the selected columns", {
  skip_if_not_installed("modeldata")
  data <- credit()
  untrained <- linear_recipe(data)
  loose <- recipes::tidy(untrained, number = 2)
  expect_true(all(is.na(loose$field)))
  trained <- suppressWarnings(recipes::prep(untrained))
  tidied <- recipes::tidy(trained, number = 2)
  expect_named(tidied, c("terms", "field", "steps", "used", "reason", "id"))
  expect_false("Price" %in% tidied$terms)
  expect_true(all(tidied$terms %in% setdiff(names(data), "Price")))
  expect_true(all(tidied$reason[tidied$used] == ""))
  expect_true(any(nzchar(tidied$steps)))
  expect_output(print(trained), "Zelcraft preparation of")
})

test_that("each resample prepares its own analysis set; lm fits on every fold", {
  skip_if_not_installed("modeldata")
  skip_if_not_installed("rsample")
  data <- stats::na.omit(credit())
  set.seed(12)
  folds <- rsample::vfold_cv(data, v = 10)
  errors <- vapply(folds$splits, function(split) {
    trained <- suppressWarnings(recipes::prep(linear_recipe(data),
                                              training = rsample::analysis(split)))
    fit <- stats::lm(Price ~ ., data = recipes::bake(trained, new_data = NULL))
    held <- recipes::bake(trained, new_data = rsample::assessment(split))
    sqrt(mean((stats::predict(fit, held) - held$Price)^2))
  }, 0)
  expect_length(errors, 10)
  expect_true(all(is.finite(errors)))
  # Better than predicting the mean price.
  expect_lt(mean(errors), stats::sd(data$Price))
})
