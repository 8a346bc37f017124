# step_zelcraft: the preparation as a recipes step. prep() prepares the
# selected columns with the outcome as the target; bake() replaces them by
# the prepared fields in use (factors for categorical and ordinal ones), the
# outcome and the other columns left as they are; tidy() gives one row per
# field made from the selected columns: the column it comes from, the steps
# that made it, whether it is used and, when not, why.

step_zelcraft <- function(recipe, ..., outcome = NULL, profile = NULL, settings = NULL,
                          role = "predictor", trained = FALSE, skip = FALSE,
                          id = rand_id("zelcraft")) {
  if (!is.null(outcome) && (!is.character(outcome) || length(outcome) != 1)) {
    stop("outcome: the name of one column", call. = FALSE)
  }
  add_step(recipe, step_zelcraft_new(
    terms = rlang::enquos(...), outcome = outcome, profile = profile, settings = settings,
    role = role, trained = trained, columns = NULL, preparation = NULL, outputs = NULL,
    skip = skip, id = id))
}

step_zelcraft_new <- function(terms, outcome, profile, settings, role, trained, columns,
                              preparation, outputs, skip, id) {
  step(subclass = "zelcraft", terms = terms, outcome = outcome, profile = profile,
       settings = settings, role = role, trained = trained, columns = columns,
       preparation = preparation, outputs = outputs, skip = skip, id = id)
}

# The fields a model takes: those in use, but the target and the weights.
feature_names <- function(preparation) {
  fields <- preparation$fields
  roles <- c("target", "transformed target", "frequency weight", "analysis weight")
  fields$name[fields$used & !(fields$kind %in% roles)]
}

prep.step_zelcraft <- function(x, training, info = NULL, ...) {
  columns <- recipes_eval_select(x$terms, training, info)
  columns <- setdiff(columns, x$outcome)
  data <- training[, unique(c(columns, x$outcome)), drop = FALSE]
  preparation <- zelcraft_prepare(data, target = x$outcome, profile = x$profile,
                                  settings = x$settings, progress = FALSE)
  step_zelcraft_new(terms = x$terms, outcome = x$outcome, profile = x$profile,
                    settings = x$settings, role = x$role, trained = TRUE, columns = columns,
                    preparation = preparation, outputs = feature_names(preparation),
                    skip = x$skip, id = x$id)
}

bake.step_zelcraft <- function(object, new_data, ...) {
  check_new_data(object$columns, object, new_data)
  prepared <- suppressWarnings(predict(object$preparation, new_data))
  kept <- new_data[, setdiff(names(new_data), object$columns), drop = FALSE]
  outputs <- prepared[, setdiff(object$outputs, names(kept)), drop = FALSE]
  tibble::as_tibble(c(as.list(kept), as.list(outputs)))
}

tidy.step_zelcraft <- function(x, ...) {
  if (!is_trained(x)) {
    terms <- vapply(x$terms, rlang::as_label, "")
    return(tibble::tibble(terms = terms, field = NA_character_, steps = NA_character_,
                          used = NA, reason = NA_character_, id = x$id))
  }
  fields <- x$preparation$fields
  made <- fields[fields$source %in% x$columns, ]
  tibble::tibble(terms = made$source, field = made$name, steps = made$steps, used = made$used,
                 reason = made$reason, id = x$id)
}

print.step_zelcraft <- function(x, width = max(20, options()$width - 30), ...) {
  title <- "Zelcraft preparation of "
  recipes::print_step(x$columns, x$terms, x$trained, title, width)
  invisible(x)
}
