# volkit_gzip(<input> <output>): a build rule that compresses <input> into
# <output> the way Debian ships manual pages and changelogs (gzip -9n).
function(volkit_gzip input output)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -P
            ${PROJECT_SOURCE_DIR}/cmake/gzip_file.cmake
    DEPENDS ${input} ${PROJECT_SOURCE_DIR}/cmake/gzip_file.cmake
    VERBATIM)
endfunction()
