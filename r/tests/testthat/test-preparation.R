# What a preparation holds and gives: the fields table, statistics and
# summary as the document says them, saved and loaded, and its report page.

counts_in <- function(document) {
  summary <- regmatches(document, regexpr("<ProcessingSummary [^>]*>", document))
  pairs <- regmatches(summary, gregexpr('[A-Za-z]+="[^"]*"', summary))[[1]]
  values <- as.numeric(sub('.*="([^"]*)"', "\\1", pairs))
  names(values) <- sub("=.*", "", pairs)
  values
}

test_that("fields, statistics and summary say what the document says", {
  data <- hard_table(rows = 4000, seed = 21)
  prep <- suppressWarnings(zelcraft_prepare(data, target = "y"))
  fields <- prep$fields
  expect_named(fields, c("name", "source", "kind", "level", "type", "used", "reason",
                         "reason_key", "predictive_power", "steps"))
  declared <- regmatches(prep$document,
                         gregexpr('<(DataField|DerivedField) name="[^"]*"', prep$document))[[1]]
  expect_identical(fields$name, sub('.*name="([^"]*)"', "\\1", declared))
  expect_true(all(fields$source %in% names(data)))
  expect_identical(fields$kind[fields$name == "y"], "target")
  expect_true(all(nzchar(fields$reason[!fields$used & fields$kind == "input" &
                                       nzchar(fields$reason_key)])))
  # Statistics are the values themselves, computed here independently.
  stats <- prep$statistics
  amount <- stats[stats$field == "amount", ]
  expect_equal(amount$count, sum(!is.na(data$amount)))
  expect_equal(amount$missing, sum(is.na(data$amount)))
  expect_equal(amount$mean, mean(data$amount, na.rm = TRUE), tolerance = 1e-12)
  expect_equal(amount$min, min(data$amount, na.rm = TRUE))
  expect_equal(amount$sd, stats::sd(data$amount, na.rm = TRUE), tolerance = 1e-9)
  expect_equal(stats$categories[stats$field == "city"], 8)
  summary <- summary(prep)
  expect_equal(summary$counts[names(summary$counts) != "processingTimeInSecond"],
               counts_in(prep$document)[names(summary$counts) != "processingTimeInSecond"])
  expect_output(print(summary), "processing summary")
  expect_output(print(prep), "<zelcraft preparation> .* fields, .* in use; target y")
})

test_that("a saved preparation loads as the same document and replays alike", {
  data <- hard_table(rows = 3000, seed = 22)
  prep <- suppressWarnings(zelcraft_prepare(data, target = "y"))
  path <- tempfile(fileext = ".pmml")
  zelcraft_save(prep, path)
  loaded <- zelcraft_load(path)
  expect_identical(loaded$document, prep$document)
  expect_identical(loaded$fields, prep$fields)
  expect_identical(predict(loaded, data), predict(prep, data))
  # Through saveRDS, the compiled document is made again.
  rds <- tempfile(fileext = ".rds")
  saveRDS(prep, rds)
  expect_identical(predict(readRDS(rds), data[1:10, ]), predict(prep, data[1:10, ]))
  writeLines("<html/>", bad <- tempfile())
  expect_error(zelcraft_load(bad), class = "zelcraft_input_error",
               regexp = "not a preparation document")
})

test_that("the report page is written and names the run and its fields", {
  data <- hard_table(rows = 2000, seed = 23)
  prep <- suppressWarnings(zelcraft_prepare(data, target = "y"))
  page <- tempfile(fileext = ".html")
  html <- report(prep, page)
  expect_identical(read_file(page), html)
  expect_match(html, "^<!DOCTYPE html>")
  expect_match(html, "data frame")
  expect_match(html, "records read</dt><dd>2[^<]*000</dd>")
  for (name in c("amount", "city", "day")) expect_match(html, name, fixed = TRUE)
})
