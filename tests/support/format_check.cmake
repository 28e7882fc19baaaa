# Fails when any C++ file of the repository differs from .clang-format.
file(GLOB_RECURSE sources
  ${ROOT}/src/*.cpp ${ROOT}/src/*.h ${ROOT}/tests/*.cpp ${ROOT}/tests/*.h
  ${ROOT}/tools/*.cpp ${ROOT}/tools/*.h ${ROOT}/bench/*.cpp ${ROOT}/bench/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Files differ from .clang-format:\n${errors}")
endif()
