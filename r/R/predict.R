# The replay of a preparation on new data: the values `zelcraft apply`
# writes for the same data, one column per field the document uses (every
# derived field too with all_fields = TRUE), categorical and ordinal ones as
# factors (ordered for ordinal ones) whose levels are the document's
# categories in its order. The target and weights may be absent: they and
# what is computed from them come out missing.

compiled_document <- function(preparation) {
  cache <- preparation$compiled
  if (is.null(cache$pointer) || !.is_compiled(cache$pointer)) {
    compiled <- .compile_document(preparation$document)
    if (is.character(compiled)) {
      abort_input(paste0("the document cannot be replayed: ", compiled))
    }
    cache$pointer <- compiled
  }
  cache$pointer
}

output_column <- function(output) {
  if (!is.null(output$factor)) {
    f <- output$factor
    return(structure(f$codes, levels = f$levels,
                     class = if (f$ordered) c("ordered", "factor") else "factor"))
  }
  values <- output$values
  switch(output$type,
         date = structure(values, class = "Date"),
         timestamp = .POSIXct(values, tz = "UTC"),
         time = as.difftime(values, units = "secs"),
         values)
}

predict.zelcraft_preparation <- function(object, newdata, all_fields = FALSE,
                                         progress = FALSE, ...) {
  if (!is.data.frame(newdata)) stop("newdata: a data frame", call. = FALSE)
  pointer <- compiled_document(object)
  inputs <- .replay_inputs(pointer)
  parts <- .replay_parts(pointer)
  names <- column_names(newdata)
  fields <- integer()
  columns <- list()
  for (i in seq_along(inputs$name)) {
    name <- inputs$name[i]
    at <- match(name, names)
    # The date or the time of day of a column of timestamps is read from it.
    split <- parts$column[match(name, parts$field)]
    if (is.na(at) && !is.na(split)) at <- match(split, names)
    if (is.na(at)) {
      if (inputs$optional[i]) next
      abort_input(paste0("the document's field '", name, "' is not a column of the data",
                         if (is.na(split)) "" else
                           paste0(", nor is its column of timestamps '", split, "'")))
    }
    if (!inputs$needed[i]) next
    fields <- c(fields, i - 1L)
    columns <- c(columns, list(frame_column(newdata[[at]], name)))
  }
  replayed <- .replay(pointer, fields, columns, nrow(newdata), isTRUE(all_fields),
                      isTRUE(progress))
  if (!is.null(replayed$error)) abort_input(replayed$error)
  for (line in replayed$warnings) warn_zelcraft(paste0("warning: ", line))
  outputs <- lapply(replayed$outputs, output_column)
  names(outputs) <- vapply(replayed$outputs, function(o) o$name, "")
  tibble::new_tibble(outputs, nrow = nrow(newdata))
}

inverse <- function(x, ...) UseMethod("inverse")

# Predictions made on the scale of the transformed target, on the target's
# own scale.
inverse.zelcraft_preparation <- function(x, predictions, progress = FALSE, ...) {
  pointer <- compiled_document(x)
  if (!.has_inverse(pointer)) abort_input("the document has no target inverse")
  .invert(pointer, as.double(predictions), isTRUE(progress))
}
