# Run at the end of an install. The installed programs look for libpellet and
# liborrery only in lib/, a folder of the installed tree that only root can
# write; the libraries themselves stay at the top of the program folder.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
file(MAKE_DIRECTORY "${root}/lib")
foreach(library libpellet.so liborrery.so)
  file(CREATE_LINK "../${library}" "${root}/lib/${library}" SYMBOLIC)
endforeach()

find_program(PATCHELF patchelf REQUIRED)
foreach(program brindle farrow beeper/beeper wicket/wicket)
  execute_process(COMMAND "${PATCHELF}" --set-rpath "${CMAKE_INSTALL_PREFIX}/lib" "${root}/${program}"
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
