# zelcraft_prepare: one preparation of a data frame (its columns go straight
# into the engine's column store, without a CSV file) or of a CSV file (read
# by the command line's loader), the same run and the same document as
# `zelcraft prepare` on the same data.

zelcraft_prepare <- function(data, target = NULL, frequency_weight = NULL, schema = NULL,
                             settings = NULL, profile = NULL, threads = NULL, progress = NULL,
                             memory_limit = NULL, delimiter = ",", stream = FALSE) {
  settings <- settings_request(profile, settings)
  schema <- schema_request(schema)
  args <- list(settings_text = settings$text, settings_name = settings$name,
               assignments = settings$assignments,
               target = role_argument(target, "target"),
               frequency_weight = role_argument(frequency_weight, "frequency_weight"),
               threads = as.integer(whole_argument(threads, "threads")),
               memory_limit = whole_argument(memory_limit, "memory_limit"))
  progress <- progress_argument(progress)
  if (is.data.frame(data)) {
    names <- column_names(data)
    columns <- lapply(seq_along(data), function(i) frame_column(data[[i]], names[i]))
    outcome <- .prepare_frame(columns, names, schema$value, schema$name, args, progress)
    data_set <- "data frame"
  } else if (is.character(data) && length(data) == 1) {
    outcome <- .prepare_csv(path.expand(data), delimiter, isTRUE(stream), schema$value,
                            schema$name, args, progress)
    data_set <- basename(data)
  } else {
    stop("data: a data frame or the path of a CSV file", call. = FALSE)
  }
  publish(outcome, data_set)
}

# Warns, raises an error outcome, or returns the preparation.
publish <- function(outcome, data_set) {
  for (line in outcome$lines) warn_zelcraft(line)
  if (!is.null(outcome$error)) {
    stop(zelcraft_error(outcome$error, outcome$message, outcome$code, outcome$note))
  }
  warnings <- tibble::tibble(code = outcome$codes, message = outcome$messages)
  run <- list(data_set = data_set, records = outcome$records,
              fields_read = outcome$fields_read, fields_handed = outcome$fields_handed)
  new_preparation(outcome$document, warnings, run)
}
