# Ctrl-C stops a long preparation promptly with R's own interrupt, and the
# session goes on: run in a separate R process that is sent SIGINT.

test_that("an interrupt stops a preparation within a second or two", {
  skip_on_os("windows")
  script <- tempfile(fileext = ".R")
  marker <- tempfile()
  writeLines(c(
    sprintf(".libPaths(c(%s))", paste(deparse(.libPaths()), collapse = "")),
    "library(zelcraft)",
    "set.seed(1)",
    "n <- 3e6",
    "data <- data.frame(a = rnorm(n), b = runif(n), c = sample(letters, n, TRUE),",
    "                   d = rnorm(n), e = sample(1:1000, n, TRUE), y = rnorm(n))",
    sprintf("writeLines('ready', '%s')", marker),
    "started <- Sys.time()",
    "got <- tryCatch(zelcraft_prepare(data, target = 'y', threads = 1, progress = FALSE),",
    "                interrupt = function(e) 'interrupted')",
    "cat(if (identical(got, 'interrupted')) 'interrupted' else 'finished',",
    "    format(as.numeric(Sys.time() - started, units = 'secs')), '\\n')"),
    script)
  output <- tempfile()
  rscript <- file.path(R.home("bin"), "Rscript")
  pid_file <- tempfile()
  system(sprintf("%s %s > %s 2>&1 & echo $! > %s", rscript, script, output, pid_file))
  pid <- as.integer(readLines(pid_file))
  deadline <- Sys.time() + 60
  while (!file.exists(marker) && Sys.time() < deadline) Sys.sleep(0.05)
  # The build of 3e6 rows takes under a second on an idle machine.
  Sys.sleep(0.3)
  signalled <- Sys.time()
  tools::pskill(pid, tools::SIGINT)
  while (Sys.time() < deadline && tools::pskill(pid, 0)) Sys.sleep(0.05)
  waited <- as.numeric(Sys.time() - signalled, units = "secs")
  result <- readLines(output)
  expect_true(any(grepl("^interrupted", result)), info = paste(result, collapse = "\n"))
  # Well inside the build's own time on a loaded machine, which a stop
  # honoured only at the end would take.
  expect_lt(waited, 10)
})
