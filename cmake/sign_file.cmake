# cmake -D CERTIFICATE=file [-D KEY=file] [-D PASSWORD_FILE=file] [-D TIMESTAMP_URL=url] -P sign_file.cmake FILE
# Gives a Windows file an Authenticode signature (SHA-256) in place, with
# osslsigncode. CERTIFICATE is a PEM or DER certificate with its KEY, or a
# .pfx/.p12 holding both.
math(EXPR last "${CMAKE_ARGC} - 1")
set(file "${CMAKE_ARGV${last}}")
if(NOT EXISTS "${file}" OR NOT CERTIFICATE)
  message(FATAL_ERROR "usage: cmake -D CERTIFICATE=file [-D KEY=file] -P sign_file.cmake FILE")
endif()
if(CERTIFICATE MATCHES "\\.(pfx|p12)$")
  set(credentials -pkcs12 "${CERTIFICATE}")
else()
  set(credentials -certs "${CERTIFICATE}" -key "${KEY}")
endif()
if(PASSWORD_FILE)
  list(APPEND credentials -readpass "${PASSWORD_FILE}")
endif()
if(TIMESTAMP_URL)
  list(APPEND credentials -ts "${TIMESTAMP_URL}")
endif()
execute_process(
  COMMAND osslsigncode sign ${credentials} -h sha256 -n "Tavix for Creo Parametric"
          -in "${file}" -out "${file}.signed"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  file(REMOVE "${file}.signed")
  message(FATAL_ERROR "signing ${file} failed: ${output}")
endif()
file(RENAME "${file}.signed" "${file}")
