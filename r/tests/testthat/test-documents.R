# The document of a data frame is the command line's on the same data, past
# a block of rows, with every thread count, and through the CSV path.

test_that("a generated table past one block gives the command line's document", {
  skip_without_cli()
  data <- hard_table()
  both <- both_documents(data, target = "y", cli_args = c("--schema", ordinal_schema(data)))
  expect_equal(both$cli$status, 0)
  expect_identical(comparable(both$frame$document), comparable(both$cli$output))
  # The same file read by the package's CSV path.
  from_csv <- suppressWarnings(zelcraft_prepare(both$csv, target = "y",
                                                schema = ordinal_schema(data)))
  expect_identical(comparable(from_csv$document), comparable(both$cli$output))
})

test_that("the document does not depend on the number of threads", {
  data <- hard_table(rows = 140000, seed = 11)
  one <- suppressWarnings(zelcraft_prepare(data, target = "y", threads = 1))
  two <- suppressWarnings(zelcraft_prepare(data, target = "y", threads = 2))
  expect_identical(comparable(one$document), comparable(two$document))
})

test_that("without a target and with a profile, frame and command line agree", {
  skip_without_cli()
  data <- hard_table(rows = 5000, seed = 3)
  profile <- system.file("profiles", "linear.json", package = "zelcraft")
  both <- both_documents(data, cli_args = c("--schema", ordinal_schema(data),
                                            "--settings", profile),
                         profile = "linear")
  expect_identical(comparable(both$frame$document), comparable(both$cli$output))
})

test_that("the example customers give the command line's document", {
  skip_without_cli()
  generator <- file.path(dirname(cli_path()), "zelcraft-example-data")
  skip_if_not(file.exists(generator), "no example data generator in the build")
  dir <- tempfile()
  dir.create(dir)
  system2(generator, dir, stdout = FALSE)
  csv <- file.path(dir, "customers.csv")
  schema <- file.path(dir, "customers.schema.json")
  settings <- file.path(dir, "customers.settings.json")
  out <- file.path(dir, "cli.pmml")
  cli <- run_cli(c("prepare", csv, "--target", "churn", "--frequency-weight", "weight",
                   "--schema", schema, "--settings", settings, "-o", out, "-q"), out)
  data <- utils::read.csv(csv, stringsAsFactors = FALSE, na.strings = "",
                          colClasses = c(signup_date = "Date"))
  data$last_login <- as.POSIXct(data$last_login, tz = "UTC")
  data$preferred_call_time <- hms::as_hms(data$preferred_call_time)
  frame <- suppressWarnings(zelcraft_prepare(data, target = "churn", frequency_weight = "weight",
                                             schema = schema, settings = settings))
  expect_identical(comparable(frame$document), comparable(cli$output))
})
