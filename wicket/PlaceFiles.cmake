# cmake -DSOURCE=<wicket sources> -DTARGET=<program folder>/wicket -P PlaceFiles.cmake
file(MAKE_DIRECTORY "${TARGET}")
file(COPY_FILE "${SOURCE}/start.html" "${TARGET}/start.html" ONLY_IF_DIFFERENT)
if(NOT EXISTS "${TARGET}/links.ini")
  file(WRITE "${TARGET}/links.ini" "")
endif()
# A fresh folder keeps the child on the approved sites; the settings dialog
# switches it off, and an update keeps what the parent chose.
if(NOT EXISTS "${TARGET}/settings.ini")
  file(WRITE "${TARGET}/settings.ini" "[settings]\r\nAllowpopup=0\r\nStayOnApprovedSites=1\r\n")
endif()
