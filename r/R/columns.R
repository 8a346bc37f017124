# An R data frame's columns as the extension reads them, by what a careful
# R user means by each type: numbers as they are (NA and NaN missing),
# integers as whole numbers, factors as nominal texts, ordered factors as
# ordinal fields in their levels' order, logicals as the nominal texts
# TRUE and FALSE, character as texts, Date as dates, POSIXct as the wall
# clock of their time zone (dates when every value is a midnight, else
# timestamps; the schema's "storage" "date" or "time" takes their day or
# time of day), hms as times of day, other difftime as seconds. Each column goes as list(kind, values,
# levels); the extension reads doubles in place.

column_names <- function(data) {
  names <- enc2utf8(as.character(names(data)))
  if (any(is.na(names) | names == "")) abort_input("a column has an empty name")
  twice <- names[duplicated(names)]
  if (length(twice) > 0) abort_input(paste0("duplicate column name '", twice[1], "'"))
  names
}

text_column <- function(values, levels) {
  list(kind = "text", values = values, levels = enc2utf8(as.character(levels)))
}

# Seconds since 1970 on the wall clock of the time zone the values show in.
wall_seconds <- function(x) {
  x <- as.POSIXct(x)
  seconds <- as.double(unclass(x))
  attributes(seconds) <- NULL
  zone <- attr(x, "tzone")
  zone <- if (is.null(zone)) "" else zone[1]
  if (zone %in% c("UTC", "GMT", "Etc/UTC")) return(seconds)
  offset <- as.POSIXlt(x)$gmtoff
  if (is.null(offset)) offset <- 0
  seconds + ifelse(is.na(offset), 0, offset)
}

frame_column <- function(x, name) {
  if (is.ordered(x)) {
    return(list(kind = "ordinal", values = as.integer(unclass(x)),
                levels = enc2utf8(levels(x))))
  }
  if (is.factor(x)) return(text_column(as.integer(unclass(x)), levels(x)))
  if (is.logical(x)) return(text_column(as.integer(x) + 1L, c("FALSE", "TRUE")))
  if (inherits(x, "POSIXt")) return(list(kind = "datetime", values = wall_seconds(x)))
  if (inherits(x, "Date")) {
    return(list(kind = "date", values = floor(as.double(unclass(x)))))
  }
  if (inherits(x, "hms")) {
    return(list(kind = "time", values = as.double(x, units = "secs")))
  }
  if (inherits(x, "difftime")) {
    return(list(kind = "real", values = as.double(x, units = "secs")))
  }
  if (is.integer(x)) return(list(kind = "integer", values = as.vector(x)))
  if (is.double(x)) return(list(kind = "real", values = as.vector(x)))
  if (is.character(x)) {
    distinct <- unique(x)
    distinct <- distinct[!is.na(distinct)]
    return(text_column(match(x, distinct), distinct))
  }
  abort_input(paste0("column '", name, "' holds values of class ", class(x)[1],
                     ", which cannot be read"))
}
