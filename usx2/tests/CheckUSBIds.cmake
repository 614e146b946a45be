# Run as: cmake -DWORK_DIR=<scratch folder> -DTEMPLATE=<udev rule template> -P CheckUSBIds.cmake
# Feeds the build's check of the keyboards' USB ids a table of wrong ids (each
# must stop the configuration with its message) and one set of good ids, whose
# ids header and udev rule it reads back.
cmake_minimum_required(VERSION 3.18)
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/VarantoUSBIds.cmake")

if(DEFINED VENDOR)
  # One case, in a process of its own (a failed check ends the process).
  varanto_check_usb_ids("${VENDOR}" "${PRODUCTS}" IDS)
  varanto_write_usb_ids(IDS "${WORK_DIR}/VarantoUSBIdValues.h" "${WORK_DIR}/70-varanto-mk2.rules" "${TEMPLATE}")
  return()
endif()

function(run_case vendor products out_result out_error)
  execute_process(COMMAND "${CMAKE_COMMAND}" "-DVENDOR=${vendor}" "-DPRODUCTS=${products}"
      "-DWORK_DIR=${WORK_DIR}" "-DTEMPLATE=${TEMPLATE}" -P "${CMAKE_CURRENT_LIST_FILE}"
    RESULT_VARIABLE result ERROR_VARIABLE error)
  # CMake wraps its messages: compare them as one line.
  string(REGEX REPLACE "[ \n]+" " " error "${error}")
  set(${out_result} "${result}" PARENT_SCOPE)
  set(${out_error} "${error}" PARENT_SCOPE)
endfunction()

# vendor | products | what the message must say
set(wrong_cases
  "F5A7|0x5A10,0x5A20,0x5A30|VARANTO_USB_VENDOR_ID: 'F5A7' is not a hexadecimal number"
  "0x1G00|0x5A10,0x5A20,0x5A30|VARANTO_USB_VENDOR_ID: '0x1G00' is not a hexadecimal number"
  "0x1F5A7|0x5A10,0x5A20,0x5A30|VARANTO_USB_VENDOR_ID: '0x1F5A7' does not fit in 16 bits"
  "0x0000|0x5A10,0x5A20,0x5A30|VARANTO_USB_VENDOR_ID: '0x0000' is 0"
  "0xF5A7|0x5A10,0x5A20|VARANTO_USB_PRODUCT_IDS: '0x5A10,0x5A20' must be three base product ids"
  "0xF5A7|0x5A10,0x5A20,0x5A30,0x5A40|must be three base product ids"
  "0xF5A7|0x5A10,5A20,0x5A30|VARANTO_USB_PRODUCT_IDS: '5A20' is not a hexadecimal number"
  "0xF5A7|0x5A10,0x5A20,0x15A30|VARANTO_USB_PRODUCT_IDS: '0x15A30' does not fit in 16 bits"
  "0xF5A7|0x5A10,0x5A22,0x5A30|VARANTO_USB_PRODUCT_IDS: '0x5A22' is not a base product id"
  "0xF5A7|0x5A10,0x5A20,0x5a10|VARANTO_USB_PRODUCT_IDS: '0x5a10' is given twice"
  "0xF5A7|0x0,0x5A20,0x5A30|VARANTO_USB_PRODUCT_IDS: '0x0' is 0")
foreach(case IN LISTS wrong_cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 vendor)
  list(GET fields 1 products)
  list(GET fields 2 expected)
  string(REPLACE ";" "," products "${products}")
  run_case("${vendor}" "${products}" result error)
  string(FIND "${error}" "${expected}" at)
  if(result EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "ids ${vendor} ${products}: expected a failure saying \"${expected}\", got ${result}: ${error}")
  endif()
endforeach()

# Good ids, written in mixed case with leading zeros and spaces after commas.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
run_case("0x1d5B" "0x6A00, 0x0B10,0x00c0" result error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "good ids refused: ${error}")
endif()
file(READ "${WORK_DIR}/VarantoUSBIdValues.h" header)
foreach(expected "VENDOR_ID_VALUE 0x1d5b\n" "ROVA_ID_VALUE 0x6a00\n" "SELA_ID_VALUE 0x0b10\n" "TUMO_ID_VALUE 0x00c0\n")
  string(FIND "${header}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "ids header lacks \"${expected}\":\n${header}")
  endif()
endforeach()
file(STRINGS "${WORK_DIR}/70-varanto-mk2.rules" rule_lines REGEX "^SUBSYSTEM")
set(expected_lines "")
foreach(product 6a00 6a02 0b10 0b12 00c0 00c2)
  list(APPEND expected_lines "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\"1d5b\", ATTR{idProduct}==\"${product}\", TAG+=\"uaccess\"")
endforeach()
if(NOT rule_lines STREQUAL expected_lines)
  message(FATAL_ERROR "udev rule:\n${rule_lines}\nexpected:\n${expected_lines}")
endif()
message(STATUS "usb ids checked")
