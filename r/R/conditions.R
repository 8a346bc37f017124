# Errors and warnings as classed conditions carrying what the command line
# says: "error CODE: message" (and "note: ..." where the command line adds
# one) for a zelcraft_input_error (the command line's exit status 2: the
# data, schema or settings) or a zelcraft_component_error (status 1: the
# component refused or failed); each warning line as a zelcraft_warning.

zelcraft_error <- function(kind, message, code = NULL, note = "") {
  text <- if (is.null(code) || is.na(code) || code == 0) {
    paste0("error: ", message)
  } else {
    paste0("error ", code, ": ", message)
  }
  if (nzchar(note)) text <- paste0(text, "\nnote: ", note)
  structure(
    class = c(paste0("zelcraft_", kind, "_error"), "zelcraft_error", "error", "condition"),
    list(message = text, call = NULL, code = if (is.null(code) || code == 0) NA_integer_ else code,
         detail = message, note = note)
  )
}

abort_input <- function(message) stop(zelcraft_error("input", message))

warn_zelcraft <- function(line) {
  warning(structure(class = c("zelcraft_warning", "warning", "condition"),
                    list(message = line, call = NULL)))
}
