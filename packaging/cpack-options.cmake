# Read by cpack as it makes the package: CPack takes the times of the package's archives from
# SOURCE_DATE_EPOCH, so give it the build's own whatever the environment of the cpack run.
set(ENV{SOURCE_DATE_EPOCH} "${CPACK_NORVANE_SOURCE_DATE_EPOCH}")
