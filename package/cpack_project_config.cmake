# Read by cpack before each package.

# The zip holds one folder named for the version; the installer has its own.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()

# Signing: when a code-signing certificate is given (the cache variables
# TAVIX_SIGNING_CERTIFICATE and TAVIX_SIGNING_KEY, or the environment variables
# of the same names), both DLLs, the installer and its uninstaller are signed;
# without one nothing is.
foreach(setting CERTIFICATE KEY PASSWORD_FILE TIMESTAMP_URL)
  if(NOT CPACK_TAVIX_SIGNING_${setting} AND DEFINED ENV{TAVIX_SIGNING_${setting}})
    set(CPACK_TAVIX_SIGNING_${setting} "$ENV{TAVIX_SIGNING_${setting}}")
  endif()
endforeach()

if(CPACK_TAVIX_SIGNING_CERTIFICATE)
  # The command that signs the file named after it; the installer's own script
  # runs it on the installer and the uninstaller (sign_libraries.cmake on the DLLs).
  set(CPACK_TAVIX_SIGN_COMMAND "\"${CPACK_TAVIX_CMAKE_COMMAND}\"")
  foreach(setting CERTIFICATE KEY PASSWORD_FILE TIMESTAMP_URL)
    if(CPACK_TAVIX_SIGNING_${setting})
      string(APPEND CPACK_TAVIX_SIGN_COMMAND " -D \"${setting}=${CPACK_TAVIX_SIGNING_${setting}}\"")
    endif()
  endforeach()
  string(APPEND CPACK_TAVIX_SIGN_COMMAND " -P \"${CPACK_TAVIX_SIGN_SCRIPT}\"")
  set(CPACK_PRE_BUILD_SCRIPTS "${CPACK_TAVIX_SIGN_LIBRARIES_SCRIPT}")
else()
  set(CPACK_TAVIX_SIGN_COMMAND "")
  set(CPACK_PRE_BUILD_SCRIPTS "")
endif()
