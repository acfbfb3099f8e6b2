# cmake -DINPUT=file -DOUTPUT=file.gz -P gzip_file.cmake
# Compresses as Debian wants shipped documentation compressed: at the highest
# level and without the name and time stamp, so a rebuild gives the same bytes.
get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
execute_process(COMMAND gzip -9 -n -c INPUT_FILE ${INPUT} OUTPUT_FILE ${OUTPUT}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "gzip of ${INPUT} failed: ${status}")
endif()
