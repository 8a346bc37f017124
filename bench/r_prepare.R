# The timing behind scripts/bench-r.sh: the fastest of RUNS wall times of
# `zelcraft prepare gems.csv --target price` and of
# zelcraft_prepare(frame, target = "price") on the data frame read.csv read
# from the same file (outside the timing), with the documents compared.
#   Rscript bench/r_prepare.R R_LIBRARY ZELCRAFT SCRATCH RUNS
args <- commandArgs(TRUE)
.libPaths(c(args[1], .libPaths()))
library(zelcraft)
cli <- args[2]
scratch <- args[3]
runs <- as.integer(args[4])
csv <- file.path(scratch, "gems.csv")

fastest <- function(work) {
  best <- Inf
  for (i in seq_len(runs)) best <- min(best, system.time(work())[["elapsed"]])
  best
}

document_out <- file.path(scratch, "cli.pmml")
cli_seconds <- fastest(function() {
  status <- system2(cli, c("prepare", csv, "--target", "price", "-o", document_out, "-q"))
  if (status != 0) stop("zelcraft prepare failed")
})
frame <- utils::read.csv(csv, stringsAsFactors = FALSE)
prep <- NULL
r_seconds <- fastest(function() {
  prep <<- suppressWarnings(zelcraft_prepare(frame, target = "price", progress = FALSE))
})
clock <- function(text) {
  gsub("<Timestamp>[^<]*</Timestamp>|processingTimeInSecond=\"[^\"]*\"", "", text)
}
written <- readChar(document_out, file.info(document_out)$size, useBytes = TRUE)
same <- identical(clock(prep$document), clock(written))
cat(sprintf("rows: %d, columns: %d, frame in memory: %.0f MiB\n", nrow(frame), ncol(frame),
            as.numeric(utils::object.size(frame)) / 2^20))
cat(sprintf("zelcraft prepare (command line, fastest of %d): %.2f s\n", runs, cli_seconds))
cat(sprintf("zelcraft_prepare(data.frame) (fastest of %d): %.2f s\n", runs, r_seconds))
cat(sprintf("ratio R / command line: %.2f (line: at most 1.2)\n", r_seconds / cli_seconds))
cat(sprintf("same document: %s\n", if (same) "yes" else "no"))
