library(testthat)
library(zelcraft)

test_check("zelcraft")
