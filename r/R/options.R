# Settings, schema and arguments as the command line takes them: a shipped
# settings profile by name, a settings file, settings keys in a list (which
# win over the profile or file, as --set does); a schema as a list or a
# JSON file.

zelcraft_profiles <- function() {
  dir <- system.file("profiles", package = "zelcraft")
  if (!nzchar(dir)) return(character())
  sort(sub("\\.json$", "", list.files(dir, pattern = "\\.json$")))
}

zelcraft_setting_keys <- function() {
  tibble::as_tibble(.setting_keys())
}

read_text <- function(path, what) {
  if (!file.exists(path) || dir.exists(path)) {
    abort_input(paste0("cannot read the ", what, " file ", path))
  }
  text <- readChar(path, file.info(path)$size, useBytes = TRUE)
  Encoding(text) <- "UTF-8"
  text
}

profile_path <- function(name) {
  path <- file.path(system.file("profiles", package = "zelcraft"), paste0(name, ".json"))
  if (!file.exists(path)) {
    known <- paste(zelcraft_profiles(), collapse = ", ")
    if (!nzchar(known)) known <- "none are installed"
    abort_input(paste0("no settings profile '", name, "' (profiles: ", known, ")"))
  }
  path
}

is_profile_name <- function(text) !grepl("/", text, fixed = TRUE) && !grepl("\\.json$", text)

setting_text <- function(value, key) {
  if (length(value) != 1 || is.list(value)) {
    stop("settings: the value of '", key, "' must be one value", call. = FALSE)
  }
  if (is.logical(value)) return(if (isTRUE(value)) "true" else "false")
  as.character(value)
}

# The settings text, its name for messages, and the assignments.
settings_request <- function(profile, settings) {
  base <- NULL
  if (!is.null(profile)) {
    if (!is.character(profile) || length(profile) != 1) {
      stop("profile: the name of a settings profile", call. = FALSE)
    }
    base <- profile_path(profile)
  }
  assignments <- character()
  if (is.character(settings) && length(settings) == 1) {
    if (!is.null(base)) stop("give a profile or a settings file, not both", call. = FALSE)
    base <- if (is_profile_name(settings)) profile_path(settings) else settings
  } else if (is.list(settings)) {
    keys <- names(settings)
    if (length(settings) > 0 && (is.null(keys) || any(keys == ""))) {
      stop("settings: a named list of settings keys", call. = FALSE)
    }
    assignments <- vapply(seq_along(settings), function(i) {
      paste0(keys[i], "=", setting_text(settings[[i]], keys[i]))
    }, "")
  } else if (!is.null(settings)) {
    stop("settings: a named list, a JSON file or a profile name", call. = FALSE)
  }
  if (is.null(base)) return(list(text = "", name = "", assignments = assignments))
  list(text = read_text(base, "settings"), name = base, assignments = assignments)
}

# The schema as the extension takes it: NULL, a list, or a file's text.
schema_request <- function(schema) {
  if (is.null(schema)) return(list(value = NULL, name = "schema"))
  if (is.character(schema) && length(schema) == 1) {
    return(list(value = read_text(schema, "schema"), name = schema))
  }
  if (!is.list(schema)) stop("schema: a named list or a JSON file", call. = FALSE)
  list(value = schema, name = "schema")
}

whole_argument <- function(value, what) {
  if (is.null(value)) return(0)
  if (!is.numeric(value) || length(value) != 1 || is.na(value) || value < 0 ||
      value != trunc(value)) {
    stop(what, ": a whole number of 0 or more", call. = FALSE)
  }
  as.double(value)
}

role_argument <- function(value, what) {
  if (is.null(value)) return("")
  if (!is.character(value) || length(value) != 1 || is.na(value)) {
    stop(what, ": the name of a column", call. = FALSE)
  }
  enc2utf8(value)
}

progress_argument <- function(progress) {
  if (is.null(progress)) return(interactive())
  isTRUE(progress)
}
