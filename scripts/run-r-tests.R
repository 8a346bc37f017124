# Runs the R package's testthat suite from the library it was installed into
# and ends with one line of counts ("testthat: N passed, N failed, N
# skipped"). It fails on a failed test, and, with ZEL_REQUIRE_R set (the test
# command, where R and every package the tests use are installed), on a
# skipped one too, naming it and its reason, so CI never skips silently.
#   Rscript scripts/run-r-tests.R R_LIBRARY TEST_DIR
args <- commandArgs(TRUE)
.libPaths(c(args[1], .libPaths()))
suppressPackageStartupMessages({
  library(testthat)
  library(zelcraft)
})
results <- test_dir(args[2], package = "zelcraft", reporter = "summary",
                    stop_on_failure = FALSE)
table <- as.data.frame(results)
failed <- sum(table$failed > 0 | table$error)
skipped <- table[table$skipped & !(table$failed > 0 | table$error), ]
passed <- nrow(table) - failed - nrow(skipped)
cat(sprintf("testthat: %d passed, %d failed, %d skipped\n", passed, failed, nrow(skipped)))
required <- nzchar(Sys.getenv("ZEL_REQUIRE_R"))
if (required && nrow(skipped) > 0) {
  for (i in seq_len(nrow(skipped))) {
    cat(sprintf("error: skipped where R is required: %s: %s\n", skipped$file[i],
                skipped$test[i]))
  }
}
if (failed > 0 || (required && nrow(skipped) > 0)) quit(status = 1)
