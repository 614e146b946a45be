# Run as: cmake -DWORK_DIR=<scratch folder> -DWRONG=<image name or none> -P CheckFirmwareDir.cmake
# Makes a folder with the nine images, one of them a byte short unless WRONG
# is "none", and runs the build's folder check on it.
include("${CMAKE_CURRENT_LIST_DIR}/../FirmwareImages.cmake")

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
foreach(model ${VARANTO_FIRMWARE_MODELS})
  foreach(kind ${VARANTO_FIRMWARE_KINDS})
    varanto_firmware_image_name(${model} ${kind} image_name)
    set(size ${VARANTO_FIRMWARE_SIZE_${kind}})
    if(image_name STREQUAL WRONG)
      math(EXPR size "${size} - 1")
    endif()
    string(REPEAT "x" ${size} content)
    file(WRITE "${WORK_DIR}/${image_name}.bin" "${content}")
  endforeach()
endforeach()

varanto_check_firmware_dir("${WORK_DIR}")
message(STATUS "firmware folder accepted")
