# Installs the package's shared object and, beside it, the platform library
# it links, which it finds there through its run path ($ORIGIN).
files <- Sys.glob(paste0("*", SHLIB_EXT))
dest <- file.path(R_PACKAGE_DIR, paste0("libs", R_ARCH))
dir.create(dest, recursive = TRUE, showWarnings = FALSE)
file.copy(files, dest, overwrite = TRUE)
makevars <- readLines("Makevars")
build <- sub("^ZEL_BUILD = ", "", grep("^ZEL_BUILD = ", makevars, value = TRUE))
file.copy(file.path(build, "lib", "libtorcommon13r.so.1"), dest, overwrite = TRUE)
