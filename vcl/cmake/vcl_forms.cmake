# vcl_add_forms(<target> <form.dfm>... [PICTURES <file>...])
#
# Compiles form descriptions (and the pictures they name with Picture.Resource = '<file name>')
# into <target>. Each description's root object "object Name: TClass" gives the resource that
# the form class TClass (VCL_FORM(TClass)) reads at construction. Relative paths are taken from
# the current source folder. The generated source is rebuilt when a file changes.
function(vcl_add_forms target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "PICTURES")
  set(forms "")
  set(names "")
  set(pictures "")
  foreach(f IN LISTS ARG_UNPARSED_ARGUMENTS)
    get_filename_component(abs "${f}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    file(RELATIVE_PATH rel "${CMAKE_SOURCE_DIR}" "${abs}")
    list(APPEND forms "${abs}")
    list(APPEND names "${rel}")
  endforeach()
  foreach(f IN LISTS ARG_PICTURES)
    get_filename_component(abs "${f}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND pictures "${abs}")
  endforeach()
  if(NOT forms)
    message(FATAL_ERROR "vcl_add_forms(${target}): no form description given")
  endif()

  get_property(count TARGET ${target} PROPERTY VCL_FORMS_COUNT)
  if(NOT count)
    set(count 0)
  endif()
  math(EXPR next "${count} + 1")
  set_property(TARGET ${target} PROPERTY VCL_FORMS_COUNT ${next})
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_forms_${count}.cpp")

  string(REPLACE ";" "|" forms_arg "${forms}")
  string(REPLACE ";" "|" names_arg "${names}")
  string(REPLACE ";" "|" pictures_arg "${pictures}")
  set(script "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/vcl_embed_forms.cmake")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND "${CMAKE_COMMAND}" "-DOUT=${out}" "-DFORMS=${forms_arg}" "-DNAMES=${names_arg}"
            "-DPICTURES=${pictures_arg}" -P "${script}"
    DEPENDS ${forms} ${pictures} "${script}"
    COMMENT "Embedding form descriptions for ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
