# What the tests share: the command line they compare with, CSV files
# written so the command line reads exactly the frame's values, documents
# compared with their timestamp and run time aside, and a generated table
# with the hard parts (more rows than a block of 65,536, missing values in
# every column, many categories, dates and times, texts beyond ASCII).

cli_path <- function() {
  given <- Sys.getenv("ZELCRAFT_CLI")
  if (nzchar(given)) return(given)
  build <- Sys.getenv("ZELCRAFT_BUILD_DIR", file.path("..", "..", "..", "build"))
  file.path(build, "bin", "zelcraft")
}

# The command line is part of the build: CI requires it (ZEL_REQUIRE_CLI),
# elsewhere a test without it is skipped, and says so.
skip_without_cli <- function() {
  if (file.exists(cli_path())) return(invisible(TRUE))
  message <- paste0("the zelcraft command is not at ", cli_path(),
                    " (set ZELCRAFT_BUILD_DIR or ZELCRAFT_CLI)")
  if (nzchar(Sys.getenv("ZEL_REQUIRE_CLI"))) stop(message, call. = FALSE)
  skip(message)
}

# Runs the command; its exit status, standard error and, when asked, the
# text of the file it wrote.
run_cli <- function(args, output = NULL) {
  err <- tempfile()
  status <- system2(cli_path(), args, stdout = FALSE, stderr = err)
  list(status = status, stderr = readLines(err, warn = FALSE),
       output = if (!is.null(output) && file.exists(output)) read_file(output) else NULL)
}

read_file <- function(path) {
  text <- readChar(path, file.info(path)$size, useBytes = TRUE)
  Encoding(text) <- "UTF-8"
  text
}

# A document without what differs between two runs of the same data.
comparable <- function(document) {
  document <- gsub("<Timestamp>[^<]*</Timestamp>", "", document)
  gsub("processingTimeInSecond=\"[^\"]*\"", "", document)
}

# Each cell as the command line should read the frame's value: doubles to
# 17 significant digits (which read back to the same double), date-times
# on their own wall clock, missing values as empty cells.
csv_cells <- function(x) {
  text <- if (is.double(x) && !inherits(x, c("Date", "POSIXt", "difftime"))) {
    sprintf("%.17g", x)
  } else if (inherits(x, "POSIXt")) {
    format(x, "%Y-%m-%d %H:%M:%S")
  } else if (inherits(x, "hms")) {
    format(x)
  } else {
    as.character(x)
  }
  text[is.na(x)] <- NA
  text
}

write_exact_csv <- function(data, path) {
  cells <- as.data.frame(lapply(data, csv_cells), check.names = FALSE,
                         stringsAsFactors = FALSE)
  utils::write.csv(cells, path, row.names = FALSE, na = "", fileEncoding = "UTF-8")
  path
}

# The frame's document and the command line's on the same data, with the
# command's extra arguments.
both_documents <- function(data, target = NULL, cli_args = character(), ...) {
  csv <- write_exact_csv(data, tempfile(fileext = ".csv"))
  out <- tempfile(fileext = ".pmml")
  args <- c("prepare", csv, "-o", out, "-q", cli_args)
  if (!is.null(target)) args <- c(args, "--target", target)
  cli <- run_cli(args, out)
  frame <- suppressWarnings(zelcraft_prepare(data, target = target, progress = FALSE, ...))
  list(frame = frame, cli = cli, csv = csv)
}

# The generated table: `rows` rows with missing values in every column.
hard_table <- function(rows = 70000, seed = 7) {
  set.seed(seed)
  pick <- function(values) sample(values, rows, replace = TRUE)
  holes <- function(x, share = 0.05) {
    x[sample.int(rows, floor(rows * share))] <- NA
    x
  }
  cities <- c("Zürich", "Genève", "Köln", "Malmö", "Oslo", "Łódź", "Porto", "Nice")
  sizes <- c("small", "medium", "large")
  data.frame(
    amount = holes(round(rlnorm(rows, 3, 1), 2)),
    ratio = holes(runif(rows) / 3),
    count = holes(pick(0:40)),
    flag = holes(pick(c(TRUE, FALSE))),
    city = holes(factor(pick(cities))),
    code = holes(pick(sprintf("C%03d", 1:150))),
    size = holes(factor(pick(sizes), levels = sizes, ordered = TRUE)),
    day = holes(as.Date("2015-01-01") + pick(0:3000)),
    y = holes(rnorm(rows, 50, 10), 0.01),
    stringsAsFactors = FALSE
  )
}

# The command line's schema for a frame's ordered factors: what the frame
# says itself.
ordinal_schema <- function(data) {
  fields <- list()
  for (name in names(data)) {
    if (is.ordered(data[[name]])) {
      fields[[name]] <- list(level = "ordinal", categories = levels(data[[name]]))
    }
  }
  path <- tempfile(fileext = ".json")
  entries <- vapply(names(fields), function(name) {
    categories <- paste0('"', fields[[name]]$categories, '"', collapse = ", ")
    sprintf('"%s": {"level": "ordinal", "categories": [%s]}', name, categories)
  }, "")
  writeLines(paste0('{"fields": {', paste(entries, collapse = ", "), "}}"), path)
  path
}
