# Read by cpack before each package.

# The zip holds one folder named for the version; the installer has its own.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
