# Fails unless EXE imports exactly the DLLs every Windows system has that
# kestrand.exe needs: a C++ runtime DLL slipping in would stop it starting on a
# bare system. cmake -DOBJDUMP=... -DEXE=... -P check_imports.cmake
set(expected COMCTL32.dll GDI32.dll KERNEL32.dll USER32.dll msvcrt.dll)

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed: ${status}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
set(imported)
foreach(line IN LISTS lines)
  string(REPLACE "DLL Name: " "" name "${line}")
  list(APPEND imported "${name}")
endforeach()
list(SORT imported CASE INSENSITIVE)
list(SORT expected CASE INSENSITIVE)
message(STATUS "imports: ${imported}")
if(NOT imported STREQUAL expected)
  message(FATAL_ERROR "kestrand.exe imports ${imported}; expected ${expected}")
endif()
