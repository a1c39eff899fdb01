# Read by cpack before it makes the packages (CPACK_PROJECT_CONFIG_FILE).
# Without a summary the Debian generator takes each component's own first
# description line as the package's synopsis instead of the project's.
unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
