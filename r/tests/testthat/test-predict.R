# predict() gives what `zelcraft apply` writes for the same data, cell for
# cell; categorical outputs are factors in the document's category order.

# The CSV text of each prepared cell, as apply writes it.
cell_texts <- function(x) {
  text <- if (is.factor(x)) as.character(x) else if (inherits(x, "Date")) format(x) else x
  text[is.na(x)] <- NA
  text
}

test_that("predict equals zelcraft apply cell for cell on the generated table", {
  skip_without_cli()
  data <- hard_table(rows = 66000, seed = 5)
  prep <- suppressWarnings(zelcraft_prepare(data, target = "y"))
  document <- tempfile(fileext = ".pmml")
  zelcraft_save(prep, document)
  csv <- write_exact_csv(data, tempfile(fileext = ".csv"))
  applied <- tempfile(fileext = ".csv")
  result <- run_cli(c("apply", document, csv, "-o", applied, "--all-fields", "-q"))
  expect_equal(result$status, 0)
  cli <- utils::read.csv(applied, colClasses = "character", na.strings = "",
                         check.names = FALSE, encoding = "UTF-8")
  predicted <- predict(prep, data, all_fields = TRUE)
  expect_identical(names(predicted), names(cli))
  for (name in names(predicted)) {
    ours <- predicted[[name]]
    if (is.numeric(ours) && !is.factor(ours)) {
      expect_identical(is.na(ours), is.na(cli[[name]]), label = name)
      # R's own reading of a decimal text may miss the nearest double by one
      # unit in the last place; the command writes the shortest text that
      # reads back exactly, so one ulp is all a difference may be.
      expect_equal(ours[!is.na(ours)], as.numeric(cli[[name]][!is.na(ours)]),
                   tolerance = 2 * .Machine$double.eps, label = name)
    } else {
      expect_identical(cell_texts(ours), cli[[name]], label = name)
    }
  }
})

test_that("categorical outputs are factors in the document's order, ordinal ones ordered", {
  data <- hard_table(rows = 3000, seed = 9)
  prep <- suppressWarnings(zelcraft_prepare(data, target = "y"))
  predicted <- predict(prep, data, all_fields = TRUE)
  fields <- prep$fields
  for (name in names(predicted)) {
    level <- fields$level[fields$name == name]
    if (!level %in% c("categorical", "ordinal")) next
    # The field's listed values, read from the document's text.
    block <- regmatches(prep$document, regexpr(
      paste0('<(DataField|DerivedField) name="', name, '"[^>]*>.*?</(DataField|DerivedField)>'),
      prep$document))
    values <- regmatches(block, gregexpr('<Value value="[^"]*"', block))[[1]]
    values <- sub('<Value value="([^"]*)"', "\\1", values)
    expect_true(is.factor(predicted[[name]]), label = name)
    expect_identical(is.ordered(predicted[[name]]), level == "ordinal", label = name)
    expect_identical(levels(predicted[[name]])[seq_along(values)], values, label = name)
  }
  # The ordered factor's field keeps its levels' order as its categories.
  size <- fields[fields$name == "size", ]
  expect_identical(size$level, "ordinal")
  expect_match(prep$document, paste0('value="1" displayValue="small".*value="2" ',
                                     'displayValue="medium".*value="3" displayValue="large"'))
})

test_that("data to predict on may lack the target; unseen categories pass or go missing", {
  data <- hard_table(rows = 2000, seed = 2)
  prep <- suppressWarnings(zelcraft_prepare(data, target = "y"))
  fresh <- data[1:5, setdiff(names(data), "y")]
  fresh$city <- factor(c("Atlantis", "Oslo", NA, "Porto", "Nice"))
  predicted <- predict(prep, fresh)
  expect_equal(nrow(predicted), 5)
  expect_true(all(is.na(predicted$y)))
  expect_error(predict(prep, data[, c("amount", "y")]),
               class = "zelcraft_input_error", regexp = "is not a column of the data")
})

test_that("inverse maps a Box-Cox target back to its scale", {
  set.seed(4)
  x <- runif(4000)
  data <- data.frame(x = x, y = exp(1 + 2 * x + rnorm(4000, sd = 0.3)))
  prep <- suppressWarnings(zelcraft_prepare(data, target = "y",
                                            settings = list(rescaleScaleTargetUsingBoxCox = TRUE, targetSD = 1)))
  transformed <- prep$fields$name[prep$fields$kind == "transformed target"]
  expect_length(transformed, 1)
  predicted <- predict(prep, data)
  back <- inverse(prep, predicted[[transformed]])
  expect_equal(back, data$y, tolerance = 1e-9)
  plain <- suppressWarnings(zelcraft_prepare(data.frame(x = x, y = x), target = "y"))
  expect_error(inverse(plain, 1:3), class = "zelcraft_input_error",
               regexp = "no target inverse")
})
