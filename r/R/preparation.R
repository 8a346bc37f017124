# A preparation: its document and what the document says (the fields table,
# the statistics, the processing summary), the warnings of its run, and its
# replay on new data. It is a plain list, so saveRDS keeps it; the compiled
# document it replays is made again when needed.

new_preparation <- function(document, warnings, run) {
  fields <- tryCatch(.fields_table(document), error = function(e) {
    abort_input(sub("^error: ", "", conditionMessage(e)))
  })
  structure(list(document = document,
                 fields = tibble::as_tibble(fields),
                 statistics = tibble::as_tibble(.statistics_table(document)),
                 warnings = warnings,
                 run = run,
                 compiled = new.env(parent = emptyenv())),
            class = "zelcraft_preparation")
}

zelcraft_save <- function(preparation, file) {
  stopifnot(inherits(preparation, "zelcraft_preparation"))
  connection <- file(file, open = "wb")
  on.exit(close(connection))
  writeBin(charToRaw(enc2utf8(preparation$document)), connection)
  invisible(preparation)
}

zelcraft_load <- function(file) {
  text <- read_text(file, "document")
  new_preparation(text, tibble::tibble(code = integer(), message = character()), list())
}

target_name <- function(preparation) {
  fields <- preparation$fields
  fields$name[fields$kind == "target"][1]
}

print.zelcraft_preparation <- function(x, ...) {
  fields <- x$fields
  target <- target_name(x)
  cat("<zelcraft preparation> ", nrow(fields), " fields, ", sum(fields$used), " in use",
      if (!is.na(target)) paste0("; target ", target) else "",
      if (nrow(x$warnings) > 0) {
        paste0("; ", nrow(x$warnings), ngettext(nrow(x$warnings), " warning", " warnings"))
      } else "",
      "\n", sep = "")
  used <- fields[fields$used, c("name", "source", "level", "predictive_power", "steps")]
  print(used, n = 10)
  invisible(x)
}

summary.zelcraft_preparation <- function(object, ...) {
  counts <- .summary_counts(object$document)
  values <- suppressWarnings(as.numeric(counts))
  names(values) <- names(counts)
  structure(list(counts = values, fields = nrow(object$fields),
                 used = sum(object$fields$used), target = target_name(object),
                 warnings = object$warnings),
            class = "summary.zelcraft_preparation")
}

print.summary.zelcraft_preparation <- function(x, ...) {
  cat("zelcraft preparation: ", x$fields, " fields, ", x$used, " in use",
      if (!is.na(x$target)) paste0(", target ", x$target) else "", "\n", sep = "")
  if (length(x$counts) > 0) {
    cat("processing summary:\n")
    print(data.frame(count = x$counts), digits = 6)
  }
  if (nrow(x$warnings) > 0) {
    cat("warnings:\n")
    cat(paste0("  ", x$warnings$message, collapse = "\n"), "\n", sep = "")
  }
  invisible(x)
}

report <- function(x, ...) UseMethod("report")

# The report page `zelcraft report` draws, written to `file` when given,
# returned (invisibly) as HTML text.
report.zelcraft_preparation <- function(x, file = NULL, ...) {
  run <- x$run
  figure <- function(name) if (is.null(run[[name]])) -1 else run[[name]]
  data_set <- if (is.null(run$data_set)) "" else run$data_set
  html <- .render_report(x$document, data_set, figure("records"), figure("fields_read"),
                         figure("fields_handed"))
  if (!is.null(file)) {
    connection <- base::file(file, open = "wb")
    on.exit(close(connection))
    writeBin(charToRaw(html), connection)
  }
  invisible(html)
}
