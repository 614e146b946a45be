# The USB ids of the keyboards: the maker's vendor id and the base product
# ids of the three models (Rova, Sela, Tumo). A keyboard reports its base id
# in application mode and the base id + 2 in DFU mode.
#
# varanto_check_usb_ids(VENDOR PRODUCTS PREFIX) fails the configuration with
# a message naming the option unless VENDOR is a 16-bit hexadecimal number
# written 0x..., other than 0, and PRODUCTS three such numbers separated by
# commas, each with its low four bits 0, all different. It sets in the
# caller's scope PREFIX_VENDOR and PREFIX_ROVA, PREFIX_SELA, PREFIX_TUMO as
# four lower-case hexadecimal digits without 0x.
#
# varanto_write_usb_ids(PREFIX HEADER RULE RULE_TEMPLATE) writes the ids
# header the USB layer includes (usx2/usb/VarantoUSBIdValues.h) and the udev
# rule (RULE empty: none), which grants the desktop user the keyboards in
# both modes.
#
# As a script, `cmake -DHEADER=<file> -P VarantoUSBIds.cmake` writes the ids
# header with the default ids (for builds outside CMake).

set(VARANTO_USB_MODELS ROVA SELA TUMO)
# This project's placeholders, not ids assigned to any maker.
set(VARANTO_USB_DEFAULT_VENDOR_ID "0xF5A7")
set(VARANTO_USB_DEFAULT_PRODUCT_IDS "0x5A10,0x5A20,0x5A30")

# A 16-bit id other than 0 as four lower-case hexadecimal digits.
function(varanto_parse_usb_id text option out)
  if(NOT text MATCHES "^0[xX]([0-9A-Fa-f]+)$")
    message(FATAL_ERROR "${option}: '${text}' is not a hexadecimal number written 0x...")
  endif()
  string(REGEX REPLACE "^0+" "" digits "${CMAKE_MATCH_1}")
  string(LENGTH "${digits}" length)
  if(length GREATER 4)
    message(FATAL_ERROR "${option}: '${text}' does not fit in 16 bits")
  endif()
  if(length EQUAL 0)
    message(FATAL_ERROR "${option}: '${text}' is 0, which matches any device")
  endif()
  string(TOLOWER "000${digits}" padded)
  string(LENGTH "${padded}" length)
  math(EXPR start "${length} - 4")
  string(SUBSTRING "${padded}" ${start} 4 four)
  set(${out} "${four}" PARENT_SCOPE)
endfunction()

function(varanto_check_usb_ids vendor products prefix)
  varanto_parse_usb_id("${vendor}" VARANTO_USB_VENDOR_ID vendor_hex)
  string(REPLACE "," ";" product_list "${products}")
  list(LENGTH product_list count)
  if(NOT count EQUAL 3)
    message(FATAL_ERROR "VARANTO_USB_PRODUCT_IDS: '${products}' must be three base product ids, "
                        "<rova>,<sela>,<tumo>")
  endif()
  set(seen "")
  foreach(model ${VARANTO_USB_MODELS})
    list(POP_FRONT product_list text)
    string(STRIP "${text}" text)
    varanto_parse_usb_id("${text}" VARANTO_USB_PRODUCT_IDS hex)
    if(NOT hex MATCHES "0$")
      message(FATAL_ERROR "VARANTO_USB_PRODUCT_IDS: '${text}' is not a base product id "
                          "(its low four bits must be 0; the DFU mode adds 2)")
    endif()
    list(FIND seen "${hex}" earlier)
    if(NOT earlier EQUAL -1)
      message(FATAL_ERROR "VARANTO_USB_PRODUCT_IDS: '${text}' is given twice; the three models need different ids")
    endif()
    list(APPEND seen ${hex})
    set(${prefix}_${model} "${hex}" PARENT_SCOPE)
  endforeach()
  set(${prefix}_VENDOR "${vendor_hex}" PARENT_SCOPE)
endfunction()

function(varanto_write_usb_ids prefix header rule rule_template)
  set(VARANTO_USB_VENDOR_HEX "0x${${prefix}_VENDOR}")
  set(VARANTO_UDEV_DEVICES "")
  foreach(model ${VARANTO_USB_MODELS})
    set(VARANTO_USB_${model}_HEX "0x${${prefix}_${model}}")
    string(SUBSTRING "${${prefix}_${model}}" 0 3 stem)
    foreach(mode_digit 0 2)
      string(APPEND VARANTO_UDEV_DEVICES
        "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\"${${prefix}_VENDOR}\", "
        "ATTR{idProduct}==\"${stem}${mode_digit}\", TAG+=\"uaccess\"\n")
    endforeach()
  endforeach()
  file(CONFIGURE OUTPUT "${header}" CONTENT [[
// Written by the build from VARANTO_USB_VENDOR_ID and VARANTO_USB_PRODUCT_IDS; do not edit.
#pragma once
#define VARANTO_USB_VENDOR_ID_VALUE @VARANTO_USB_VENDOR_HEX@
#define VARANTO_USB_ROVA_ID_VALUE @VARANTO_USB_ROVA_HEX@
#define VARANTO_USB_SELA_ID_VALUE @VARANTO_USB_SELA_HEX@
#define VARANTO_USB_TUMO_ID_VALUE @VARANTO_USB_TUMO_HEX@
]] @ONLY)
  if(rule)
    configure_file("${rule_template}" "${rule}" @ONLY)
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE AND DEFINED HEADER)
  varanto_check_usb_ids("${VARANTO_USB_DEFAULT_VENDOR_ID}" "${VARANTO_USB_DEFAULT_PRODUCT_IDS}" DEFAULT)
  varanto_write_usb_ids(DEFAULT "${HEADER}" "" "")
endif()
