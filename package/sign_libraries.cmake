# Run by cpack after staging the package's files (stripped) and before packing
# them: signs each DLL with the command cpack_project_config.cmake made.
file(GLOB_RECURSE libraries "${CPACK_TEMPORARY_DIRECTORY}/*.dll")
foreach(library IN LISTS libraries)
  execute_process(COMMAND sh -c "${CPACK_TAVIX_SIGN_COMMAND} \"${library}\"" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "could not sign ${library}")
  endif()
endforeach()
