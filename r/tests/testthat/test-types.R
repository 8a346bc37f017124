# How R's column types are read: the document's data dictionary says what
# each became, and the statistics hold the values the engine saw.

data_field <- function(document, name) {
  regmatches(document, regexpr(paste0('<DataField name="', name, '"[^>]*>'), document))
}

statistic <- function(prep, field, what) prep$statistics[[what]][prep$statistics$field == field]

test_that("each R type becomes the field a careful R user expects", {
  n <- 400
  set.seed(1)
  data <- data.frame(
    real = rnorm(n),
    whole = sample(1:50, n, replace = TRUE),
    flag = rep(c(TRUE, FALSE, NA, TRUE), length.out = n),
    nominal = factor(rep(c("b", "a", "c", "a"), length.out = n)),
    grade = factor(rep(c("low", "high", "mid", "low"), length.out = n),
                   levels = c("low", "mid", "high"), ordered = TRUE),
    text = rep(c("x", "y", NA, "z"), length.out = n),
    day = as.Date("2020-01-01") + seq_len(n),
    stamp = as.POSIXct("2020-01-01 10:30:00", tz = "UTC") + 3600 * seq_len(n),
    midnight = as.POSIXct("2020-01-01", tz = "UTC") + 86400 * seq_len(n),
    clock = hms::as_hms(60 * seq_len(n)),
    wait = as.difftime(seq_len(n), units = "mins"),
    stringsAsFactors = FALSE)
  prep <- suppressWarnings(zelcraft_prepare(data, settings = list(computeDateDuration = FALSE)))
  doc <- prep$document
  expect_match(data_field(doc, "real"), 'optype="continuous" dataType="double"')
  expect_match(data_field(doc, "whole"), 'optype="continuous" dataType="integer"')
  expect_match(data_field(doc, "flag"), 'optype="categorical" dataType="string"')
  expect_match(doc, '<Value value="FALSE" property="valid"/>\\s*<Value value="TRUE"')
  expect_match(data_field(doc, "nominal"), 'optype="categorical" dataType="string"')
  expect_match(data_field(doc, "grade"), 'optype="ordinal" dataType="integer"')
  expect_match(doc, 'value="1" displayValue="low".*value="2" displayValue="mid".*value="3" displayValue="high"')
  expect_match(data_field(doc, "text"), 'optype="categorical" dataType="string"')
  expect_match(data_field(doc, "day"), 'dataType="dateDaysSince\\[1970\\]"')
  # A column of timestamps goes over as its date and its time of day.
  expect_length(data_field(doc, "stamp"), 0)
  expect_match(data_field(doc, "stamp_date"), 'dataType="dateDaysSince\\[1970\\]"')
  expect_match(data_field(doc, "stamp_time"), 'dataType="time"')
  expect_equal(prep$fields$reason_key[prep$fields$name == "stamp"], "SplitTimestamp")
  expect_match(data_field(doc, "midnight"), 'dataType="dateDaysSince\\[1970\\]"')
  expect_match(data_field(doc, "clock"), 'dataType="time"')
  expect_match(data_field(doc, "wait"), 'optype="continuous" dataType="double"')
  # Minutes are read as seconds: 60 to 60 n, mean 60 (n + 1) / 2.
  expect_equal(statistic(prep, "wait", "min"), 60)
  expect_equal(statistic(prep, "wait", "mean"), 60 * (n + 1) / 2)
  # Missing values are counted where R has NA: a quarter of flag and text.
  expect_equal(statistic(prep, "flag", "missing"), n / 4)
  expect_equal(statistic(prep, "text", "missing"), n / 4)
  expect_equal(statistic(prep, "day", "min"), as.numeric(as.Date("2020-01-02")))
})

test_that("date-times are read on their own wall clock, by the storage a schema gives", {
  stamps <- as.POSIXct(c("2020-01-01 23:30:00", "2020-07-01 23:30:00", NA),
                       tz = "America/New_York")
  data <- data.frame(at = stamps, x = c(1, 2, 3))
  as_date <- suppressWarnings(zelcraft_prepare(data, schema = list(at = list(storage = "date"))))
  # The wall clock's day, not the UTC one (which is the next day).
  expect_equal(statistic(as_date, "at", "min"), as.numeric(as.Date("2020-01-01")))
  expect_equal(statistic(as_date, "at", "max"), as.numeric(as.Date("2020-07-01")))
  expect_equal(statistic(as_date, "at", "missing"), 1)
  as_time <- suppressWarnings(zelcraft_prepare(data, schema = list(at = list(storage = "time"))))
  expect_equal(statistic(as_time, "at", "min"), 23.5 * 3600)
  expect_error(zelcraft_prepare(data, schema = list(at = list(storage = "integer"))),
               class = "zelcraft_input_error", regexp = "cannot be read as integer")
})

test_that("texts are read as the storage a schema declares, each by the file's cell rules", {
  data <- data.frame(t = c("12:30:00", "08:00:00", "", NA), n = c("1", "2", "3", "4"),
                     x = 1:4, stringsAsFactors = FALSE)
  prep <- suppressWarnings(zelcraft_prepare(
    data, schema = list(t = list(storage = "time"), n = list(storage = "integer"))))
  expect_match(data_field(prep$document, "t"), 'dataType="time"')
  expect_equal(statistic(prep, "t", "max"), 12.5 * 3600)
  expect_equal(statistic(prep, "t", "missing"), 2)
  expect_match(data_field(prep$document, "n"), 'dataType="integer"')
  codes <- suppressWarnings(zelcraft_prepare(data.frame(code = c(7L, 12L, NA, 7L), x = 1:4),
                                             schema = list(code = list(storage = "string"))))
  expect_match(data_field(codes$document, "code"), 'optype="categorical" dataType="string"')
  expect_match(codes$document, '<Value value="12" property="valid"/>\\s*<Value value="7"')
  data$t[3] <- "noon"
  expect_error(zelcraft_prepare(data, schema = list(t = list(storage = "time"))),
               class = "zelcraft_input_error", regexp = "row 3: 'noon' is not .*\\(field 't'\\)")
})

test_that("declared storages read texts at their bounds as a file's cells are read", {
  # pandas and write.csv write a whole-number column with a missing value as
  # decimals; a declared whole number reads them, but not a fraction.
  data <- data.frame(n = c("181.0", "1.81e2", "18100e-2", "7", "", 10:49),
                     t = c("12:00:00", "2021-03-04 23:59:59", "00:00:01", "",
                           sprintf("06:%02d:00", 0:40)),
                     stringsAsFactors = FALSE)
  schema <- list(n = list(storage = "integer"), t = list(storage = "time"))
  prep <- suppressWarnings(zelcraft_prepare(data, schema = schema))
  expect_match(data_field(prep$document, "n"), 'dataType="integer"')
  expect_equal(statistic(prep, "n", "max"), 181)
  expect_equal(statistic(prep, "n", "min"), 7)
  expect_equal(statistic(prep, "n", "missing"), 1)
  # A timestamp in a time column is its time of day.
  expect_equal(statistic(prep, "t", "max"), 86399)
  expect_equal(statistic(prep, "t", "min"), 1)
  for (bad in list(c(n = "181.5"), c(t = "12:00:60"), c(t = "24:00:00"))) {
    wrong <- data
    wrong[[names(bad)]][2] <- bad[[1]]
    expect_error(zelcraft_prepare(wrong, schema = schema), class = "zelcraft_input_error",
                 regexp = sprintf("row 2: '%s' is not .*\\(field '%s'\\)", bad[[1]], names(bad)))
  }
})

test_that("ordinal texts take their schema categories; another text is refused by row", {
  data <- data.frame(level = c("low", "high", "n/a", "mid", NA), x = 1:5,
                     stringsAsFactors = FALSE)
  schema <- list(level = list(level = "ordinal", categories = c("low", "mid", "high"),
                              missingStrings = "n/a"))
  prep <- suppressWarnings(zelcraft_prepare(data, schema = schema))
  expect_equal(statistic(prep, "level", "missing"), 2)
  expect_equal(statistic(prep, "level", "categories"), 3)
  data$level[4] <- "huge"
  expect_error(zelcraft_prepare(data, schema = schema), class = "zelcraft_input_error",
               regexp = "row 4: 'huge' is not one of its categories \\(field 'level'\\)")
})

test_that("values a document cannot carry are refused before the build", {
  expect_error(zelcraft_prepare(data.frame(x = c(1, Inf, 3))), class = "zelcraft_input_error",
               regexp = "field 'x' holds an infinite number")
  expect_error(zelcraft_prepare(data.frame(x = c("a", "b\001", "c"))),
               class = "zelcraft_input_error", regexp = "row 2")
  twice <- data.frame(a = 1:3, b = 1:3)
  names(twice) <- c("a", "a")
  expect_error(zelcraft_prepare(twice), class = "zelcraft_input_error",
               regexp = "duplicate column name 'a'")
  expect_error(zelcraft_prepare(data.frame(x = 1:3, z = I(list(1, 2, 3)))),
               class = "zelcraft_input_error", regexp = "column 'z'")
})

test_that("a column entirely missing, and integers past R's range through a schema", {
  data <- data.frame(none = rep(NA_real_, 50), x = seq_len(50) * 1e10)
  prep <- suppressWarnings(zelcraft_prepare(data, schema = list(x = list(storage = "integer"))))
  expect_equal(statistic(prep, "none", "missing"), 50)
  expect_match(data_field(prep$document, "x"), 'dataType="integer"')
  expect_equal(statistic(prep, "x", "max"), 5e11)
  expect_error(zelcraft_prepare(data.frame(x = c(1.5, 2)),
                                schema = list(x = list(storage = "integer"))),
               class = "zelcraft_input_error", regexp = "not whole")
})

test_that("a column of timestamps is predicted from as its date and its time of day", {
  stamps <- as.POSIXct("2021-03-01 06:00:00", tz = "UTC") + 5400 * seq_len(200)
  data <- data.frame(at = stamps, y = seq_len(200) %% 7 + 0.5)
  prep <- suppressWarnings(zelcraft_prepare(data, target = "y",
                                            settings = list(featureSelection = FALSE)))
  out <- predict(prep, data["at"], all_fields = TRUE)
  # Durations run from the data's latest date and latest time of day.
  days <- as.numeric(as.Date(stamps))
  seconds <- as.numeric(stamps) %% 86400
  expect_equal(out$at_date_DurationDays, days - max(days))
  expect_equal(out$at_time_DurationSeconds, seconds - max(seconds))
  expect_error(predict(prep, data.frame(other = stamps)),
               "field 'at_date' is not a column of the data, nor is its column of timestamps 'at'")
})
