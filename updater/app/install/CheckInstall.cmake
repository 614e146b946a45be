# Installs the build into a scratch folder (through DESTDIR, so that the
# udev rule lands there too) and checks the layout and the menu entry.
#   cmake -DBUILD=<build folder> -DSCRATCH=<folder> -DIDENTIFIER=<id> -DAPP=<name> -P CheckInstall.cmake
file(REMOVE_RECURSE "${SCRATCH}")
set(prefix "/opt/varanto test")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E env "DESTDIR=${SCRATCH}" "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${prefix}"
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(root "${SCRATCH}${prefix}")
set(bundle "${prefix}/lib/varanto-mk2-firmware-updater/${APP}.app")
foreach(expected
    "${SCRATCH}${bundle}/Contents/MacOS/${APP}"
    "${SCRATCH}${bundle}/Contents/Resources/skin/stylesheets/FirmwareUpdaterStyles.txt"
    "${SCRATCH}${bundle}/Contents/Resources/skin/fonts/DejaVu-LICENSE.txt"
    "${root}/share/icons/hicolor/256x256/apps/${IDENTIFIER}.png"
    "${root}/share/icons/hicolor/48x48/apps/${IDENTIFIER}.png"
    "${SCRATCH}/etc/udev/rules.d/70-varanto-mk2.rules")
  if(NOT EXISTS "${expected}")
    message(FATAL_ERROR "not installed: ${expected}")
  endif()
endforeach()
if(EXISTS "${root}/lib/varanto-mk2-firmware-updater/skin")
  message(FATAL_ERROR "a skin folder beside the bundle would replace the bundle's skin")
endif()

file(READ_SYMLINK "${root}/bin/varanto-mk2-firmware-updater" target)
if(NOT target STREQUAL "${bundle}/Contents/MacOS/${APP}")
  message(FATAL_ERROR "the link points to ${target}")
endif()

set(entry "${root}/share/applications/${IDENTIFIER}.desktop")
file(STRINGS "${entry}" lines)
foreach(expected
    "Exec=\"${bundle}/Contents/MacOS/${APP}\""
    "Path=${bundle}/Contents/MacOS"
    "Icon=${IDENTIFIER}"
    "StartupWMClass=${APP}")
  list(FIND lines "${expected}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "the menu entry lacks the line ${expected}")
  endif()
endforeach()
find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  execute_process(COMMAND "${VALIDATE}" "${entry}" RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0 OR NOT out STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${out}")
  endif()
endif()
file(REMOVE_RECURSE "${SCRATCH}")
