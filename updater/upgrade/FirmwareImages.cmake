# varanto_embed_firmware(TARGET FIRMWARE_DIR)
# Adds the nine firmware images to TARGET as read-only data. With an empty
# FIRMWARE_DIR they are generated stand-ins (fixed-seed, different per model
# and image); otherwise the folder must hold the nine files of the exact sizes.

set(VARANTO_FIRMWARE_MODELS Rova Sela Tumo)
set(VARANTO_FIRMWARE_KINDS Main Atmel PIC)
set(VARANTO_FIRMWARE_SIZE_Main 378048)
set(VARANTO_FIRMWARE_SIZE_Atmel 17784)
set(VARANTO_FIRMWARE_SIZE_PIC 16384)

# The image's name: Varanto<Model>MK2 for the main image, with Atmel or PIC appended otherwise.
function(varanto_firmware_image_name model kind out)
  if(kind STREQUAL "Main")
    set(${out} "Varanto${model}MK2" PARENT_SCOPE)
  else()
    set(${out} "Varanto${model}MK2${kind}" PARENT_SCOPE)
  endif()
endfunction()

function(varanto_check_firmware_file image_file kind)
  set(size ${VARANTO_FIRMWARE_SIZE_${kind}})
  if(NOT EXISTS "${image_file}")
    message(FATAL_ERROR "VARANTO_FIRMWARE_DIR: '${image_file}' is missing")
  endif()
  file(SIZE "${image_file}" actual_size)
  if(NOT actual_size EQUAL size)
    message(FATAL_ERROR "VARANTO_FIRMWARE_DIR: '${image_file}' has ${actual_size} bytes; "
                        "a ${kind} image has exactly ${size} bytes")
  endif()
endfunction()

# Fails the configuration unless the folder holds the nine images of the exact sizes.
function(varanto_check_firmware_dir firmware_dir)
  if(NOT IS_DIRECTORY "${firmware_dir}")
    message(FATAL_ERROR "VARANTO_FIRMWARE_DIR: '${firmware_dir}' is not a folder")
  endif()
  foreach(model ${VARANTO_FIRMWARE_MODELS})
    foreach(kind ${VARANTO_FIRMWARE_KINDS})
      varanto_firmware_image_name(${model} ${kind} image_name)
      varanto_check_firmware_file("${firmware_dir}/${image_name}.bin" ${kind})
    endforeach()
  endforeach()
endfunction()

function(varanto_embed_firmware target firmware_dir)
  set(generated_dir "${CMAKE_CURRENT_BINARY_DIR}/firmware")
  file(MAKE_DIRECTORY "${generated_dir}")

  if(firmware_dir)
    set(product_firmware true)
    varanto_check_firmware_dir("${firmware_dir}")
    message(STATUS "Firmware: embedding the product images from ${firmware_dir}")
  else()
    set(product_firmware false)
    message(STATUS "Firmware: embedding generated stand-ins (no product firmware; real keyboards are never written)")
    add_executable(firmware_placeholder "${CMAKE_CURRENT_SOURCE_DIR}/tools/FirmwarePlaceholder.cpp")
    target_compile_options(firmware_placeholder PRIVATE ${VARANTO_WARNINGS})
  endif()

  set(asm_text "")
  set(size_check_text "")
  set(image_files "")
  foreach(model ${VARANTO_FIRMWARE_MODELS})
    foreach(kind ${VARANTO_FIRMWARE_KINDS})
      set(size ${VARANTO_FIRMWARE_SIZE_${kind}})
      varanto_firmware_image_name(${model} ${kind} image_name)
      string(TOLOWER "varanto_firmware_${model}_${kind}" symbol)

      if(product_firmware)
        set(image_file "${firmware_dir}/${image_name}.bin")
        varanto_check_firmware_file("${image_file}" ${kind})
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${image_file}")
      else()
        set(image_file "${generated_dir}/${image_name}.bin")
        add_custom_command(OUTPUT "${image_file}"
          COMMAND firmware_placeholder ${image_name} ${size} "${image_file}"
          DEPENDS firmware_placeholder
          COMMENT "Generating stand-in firmware ${image_name}"
          VERBATIM)
      endif()
      if(image_file MATCHES "[\"\\\\\n]")
        message(FATAL_ERROR "Firmware image path '${image_file}' contains a quote, a backslash or a line break")
      endif()
      list(APPEND image_files "${image_file}")
      string(APPEND asm_text
        "    \".balign 64\\n\"\n"
        "    \".globl ${symbol}\\n\"\n"
        "    \".type ${symbol}, @object\\n\"\n"
        "    \"${symbol}:\\n\"\n"
        "    \".incbin \\\"${image_file}\\\"\\n\"\n"
        "    \"${symbol}_end:\\n\"\n"
        "    \".size ${symbol}, ${symbol}_end - ${symbol}\\n\"\n")
      string(APPEND size_check_text
        "    \".if ${symbol}_end - ${symbol} - ${size}\\n\"\n"
        "    \".error \\\"firmware image ${image_name} must have ${size} bytes\\\"\\n\"\n"
        "    \".endif\\n\"\n")
    endforeach()
  endforeach()

  set(VARANTO_FIRMWARE_ASM "${asm_text}")
  set(VARANTO_FIRMWARE_SIZE_CHECK_ASM "${size_check_text}")
  set(VARANTO_PRODUCT_FIRMWARE ${product_firmware})
  set(VARANTO_FIRMWARE_SIZE_MAIN ${VARANTO_FIRMWARE_SIZE_Main})
  set(VARANTO_FIRMWARE_SIZE_ATMEL ${VARANTO_FIRMWARE_SIZE_Atmel})
  set(VARANTO_FIRMWARE_SIZE_PIC ${VARANTO_FIRMWARE_SIZE_PIC})
  set(source "${generated_dir}/FirmwareImages.cpp")
  configure_file("${CMAKE_CURRENT_SOURCE_DIR}/FirmwareImages.cpp.in" "${source}" @ONLY)
  set_source_files_properties("${source}" PROPERTIES OBJECT_DEPENDS "${image_files}")
  set_source_files_properties(${image_files} PROPERTIES HEADER_FILE_ONLY ON)
  if(NOT product_firmware)
    set_source_files_properties(${image_files} PROPERTIES GENERATED ON)
  endif()
  target_sources(${target} PRIVATE "${source}" ${image_files})
endfunction()
