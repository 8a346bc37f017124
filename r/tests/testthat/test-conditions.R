# Errors and warnings are classed R conditions with the command line's
# words; progress lines appear when asked and never otherwise.

conditions_of <- function(expr) {
  warned <- character()
  error <- NULL
  withCallingHandlers(
    tryCatch(expr, error = function(e) error <<- e),
    warning = function(w) {
      if (inherits(w, "zelcraft_warning")) warned <<- c(warned, conditionMessage(w))
      invokeRestart("muffleWarning")
    })
  list(error = error, warnings = warned)
}

test_that("errors carry their class, code and the command line's message", {
  skip_without_cli()
  cases <- list(
    list(data = data.frame(x = c(1, 3), y = c(2, 4)), target = "nope", class = "input", code = NA),
    list(data = data.frame(x = c(1, 1, 1), y = c(1, 1, 1)), target = "y", class = "component",
         code = 210012))
  for (case in cases) {
    got <- conditions_of(zelcraft_prepare(case$data, target = case$target))
    expect_s3_class(got$error, paste0("zelcraft_", case$class, "_error"))
    expect_s3_class(got$error, "zelcraft_error")
    expect_equal(got$error$code, if (is.na(case$code)) NA_integer_ else case$code)
    csv <- write_exact_csv(case$data, tempfile(fileext = ".csv"))
    cli <- run_cli(c("prepare", csv, "--target", case$target, "-o", tempfile()))
    expect_equal(cli$status, if (case$class == "input") 2 else 1)
    expect_identical(strsplit(conditionMessage(got$error), "\n")[[1]],
                     grep("^(error|note)", cli$stderr, value = TRUE))
  }
})

test_that("arguments of the wrong kind are refused before any work", {
  data <- data.frame(x = 1:3)
  expect_error(zelcraft_prepare(data, threads = -1), "threads")
  expect_error(zelcraft_prepare(data, target = 3), "target")
  expect_error(zelcraft_prepare(list(x = 1)), "data")
  expect_error(zelcraft_prepare(data, profile = "no-such-profile"),
               class = "zelcraft_input_error", regexp = "no settings profile 'no-such-profile'")
  expect_error(zelcraft_prepare(data, settings = list(maxNOfUniqueCategories = -5)),
               class = "zelcraft_input_error", regexp = "maxNOfUniqueCategories")
  expect_error(zelcraft_prepare(data, schema = list(nope = list(level = "nominal"))),
               class = "zelcraft_input_error", regexp = "nope")
})

test_that("warnings are zelcraft_warnings worded as the command line prints them", {
  skip_without_cli()
  data <- hard_table(rows = 3000, seed = 8)
  data$weight <- rep(c(1L, 0L, 2L, NA), length.out = nrow(data))
  got <- conditions_of(prep <- zelcraft_prepare(data, target = "y", frequency_weight = "weight"))
  csv <- write_exact_csv(data, tempfile(fileext = ".csv"))
  cli <- run_cli(c("prepare", csv, "--target", "y", "--frequency-weight", "weight",
                   "--schema", ordinal_schema(data), "-o", tempfile()))
  expect_equal(cli$status, 0)
  cli_lines <- grep("^(warning|not applicable here)", cli$stderr, value = TRUE)
  expect_gt(length(cli_lines), 1)
  expect_identical(got$warnings, cli_lines)
  # Half the weights do not count: a note of the data source, without a code.
  expect_true(any(is.na(prep$warnings$code)))
  expect_match(paste(got$warnings, collapse = "\n"), "1500")
})

test_that("progress draws one line per phase when asked, nothing otherwise", {
  data <- hard_table(rows = 2000, seed = 6)
  shown <- capture.output(type = "message",
                          invisible(suppressWarnings(
                            zelcraft_prepare(data, target = "y", progress = TRUE))))
  lines <- unlist(strsplit(shown, "\r"))
  expect_true(any(grepl("^zelcraft: reading", lines)))
  for (pass in 1:7) expect_true(any(grepl(paste0("^zelcraft: pass ", pass, "/7"), lines)))
  expect_true(any(grepl("^zelcraft: writing", lines)))
  quiet <- capture.output(type = "message",
                          invisible(suppressWarnings(
                            zelcraft_prepare(data, target = "y", progress = FALSE))))
  expect_length(quiet, 0)
})
