# cmake -DSOURCE=<wicket sources> -DTARGET=<program folder>/wicket -P PlaceFiles.cmake
file(MAKE_DIRECTORY "${TARGET}")
file(COPY_FILE "${SOURCE}/start.html" "${TARGET}/start.html" ONLY_IF_DIFFERENT)
if(NOT EXISTS "${TARGET}/links.ini")
  file(WRITE "${TARGET}/links.ini" "")
endif()
if(NOT EXISTS "${TARGET}/settings.ini")
  file(WRITE "${TARGET}/settings.ini" "[settings]\r\nAllowpopup=0\r\n")
endif()
