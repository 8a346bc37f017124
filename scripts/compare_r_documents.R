# The R package against the command line on the example customers and on
# real R data sets (the first half of scripts/bench-r.sh): for each, the
# document of zelcraft_prepare on the data frame and that of `zelcraft
# prepare` on the same data (the customers' own file, schema and settings;
# an R data set written as CSV, doubles to 17 digits, with a schema saying
# what the frame's types say: ordered factors' categories, texts that look
# like numbers kept as texts, doubles as reals), compared with the timestamp
# and run time aside; then predict against `zelcraft apply` on the same rows,
# cell for cell (numbers to one unit in the last place, since R's reading of
# a decimal text may miss by that much).
#   Rscript scripts/compare_r_documents.R R_LIBRARY ZELCRAFT
args <- commandArgs(TRUE)
.libPaths(c(args[1], .libPaths()))
suppressPackageStartupMessages(library(zelcraft))
cli <- args[2]

cells <- function(x) {
  text <- if (is.double(x) && !inherits(x, c("Date", "POSIXt", "difftime"))) {
    sprintf("%.17g", x)
  } else if (inherits(x, "POSIXt")) {
    format(x, "%Y-%m-%d %H:%M:%S")
  } else {
    as.character(x)
  }
  text[is.na(x)] <- NA
  text
}

quoted <- function(texts) paste0('"', gsub('"', '\\\\"', texts), '"', collapse = ", ")

looks_typed <- function(texts) {
  texts <- texts[!is.na(texts) & nzchar(texts)]
  length(texts) > 0 && all(grepl("^[-+]?[0-9.]+([eE][-+]?[0-9]+)?$|^[0-9]{4}-[0-9]{2}-[0-9]{2}|^[0-9]{2}:[0-9]{2}", texts))
}

schema_for <- function(data) {
  entries <- character()
  for (name in names(data)) {
    x <- data[[name]]
    entry <- if (is.ordered(x)) {
      sprintf('{"level": "ordinal", "categories": [%s]}', quoted(levels(x)))
    } else if ((is.factor(x) && looks_typed(levels(x))) ||
               (is.character(x) && looks_typed(x))) {
      '{"storage": "string"}'
    } else if (is.double(x) && !inherits(x, c("Date", "POSIXt", "difftime"))) {
      '{"storage": "real"}'
    } else {
      NULL
    }
    if (!is.null(entry)) entries <- c(entries, sprintf('"%s": %s', name, entry))
  }
  paste0('{"fields": {', paste(entries, collapse = ", "), "}}")
}

clock <- function(text) gsub("<Timestamp>[^<]*</Timestamp>|processingTimeInSecond=\"[^\"]*\"", "", text)

# `csv` (with its `schema`, `settings` and frequency weight) is the file the
# frame was read from; without it the frame is written out with a schema of
# what its types say.
compare <- function(label, data, target, csv = NULL, schema = NULL, settings = NULL,
                    weight = NULL) {
  dir <- tempfile()
  dir.create(dir)
  cli_schema <- schema
  if (is.null(csv)) {
    csv <- file.path(dir, "data.csv")
    utils::write.csv(as.data.frame(lapply(data, cells), check.names = FALSE), csv,
                     row.names = FALSE, na = "", fileEncoding = "UTF-8")
    cli_schema <- file.path(dir, "schema.json")
    writeLines(schema_for(data), cli_schema)
  }
  out <- file.path(dir, "cli.pmml")
  args <- c("prepare", csv, "--target", shQuote(target), "--schema", cli_schema, "-o", out,
            "-q")
  if (!is.null(settings)) args <- c(args, "--settings", settings)
  if (!is.null(weight)) args <- c(args, "--frequency-weight", weight)
  status <- system2(cli, args)
  prep <- suppressWarnings(zelcraft_prepare(data, target = target, frequency_weight = weight,
                                            schema = schema,
                                            settings = settings, progress = FALSE))
  written <- readChar(out, file.info(out)$size, useBytes = TRUE)
  same <- status == 0 && identical(clock(prep$document), clock(written))
  document <- file.path(dir, "r.pmml")
  zelcraft_save(prep, document)
  applied <- file.path(dir, "applied.csv")
  system2(cli, c("apply", document, csv, "-o", applied, "--all-fields", "-q"))
  theirs <- utils::read.csv(applied, colClasses = "character", na.strings = "",
                            check.names = FALSE, encoding = "UTF-8")
  ours <- predict(prep, data, all_fields = TRUE)
  differing <- character()
  for (name in names(ours)) {
    mine <- ours[[name]]
    other <- theirs[[name]]
    agree <- if (is.factor(mine) || is.character(mine)) {
      identical(ifelse(is.na(mine), NA, as.character(mine)), other)
    } else if (inherits(mine, "Date")) {
      identical(ifelse(is.na(mine), NA, format(mine)), other)
    } else {
      numbers <- suppressWarnings(as.numeric(other))
      identical(is.na(mine), is.na(other)) &&
        all(abs(mine - numbers) <= 2 * .Machine$double.eps * abs(numbers), na.rm = TRUE)
    }
    if (!agree) differing <- c(differing, name)
  }
  cat(sprintf("%-14s %6d rows %3d columns: document %s; predict = apply on %d of %d columns%s\n",
              label, nrow(data), ncol(data), if (same) "equal" else "DIFFERS",
              ncol(ours) - length(differing), ncol(ours),
              if (length(differing)) paste0(" (differ: ", paste(differing, collapse = ", "), ")")
              else ""))
  same && length(differing) == 0 && identical(names(ours), names(theirs))
}

# The example customers, read as a careful R user reads their file.
examples <- tempfile()
dir.create(examples)
system2(file.path(dirname(cli), "zelcraft-example-data"), examples, stdout = FALSE)
customers_csv <- file.path(examples, "customers.csv")
customers <- utils::read.csv(customers_csv, stringsAsFactors = FALSE, na.strings = "",
                             colClasses = c(signup_date = "Date"))
customers$last_login <- as.POSIXct(customers$last_login, tz = "UTC")
customers$preferred_call_time <- hms::as_hms(customers$preferred_call_time)

data("credit_data", package = "modeldata")
data("ames", package = "modeldata")
data("Chicago", package = "modeldata")
penguins <- as.data.frame(palmerpenguins::penguins_raw)
results <- c(
  compare("customers", customers, "churn", csv = customers_csv,
          schema = file.path(examples, "customers.schema.json"),
          settings = file.path(examples, "customers.settings.json"), weight = "weight"),
  compare("credit_data", credit_data, "Status"),
  compare("ames", as.data.frame(ames), "Sale_Price"),
  compare("Chicago", as.data.frame(Chicago), "ridership"),
  compare("penguins_raw", penguins, "Body Mass (g)"))
if (!all(results)) quit(status = 1)
