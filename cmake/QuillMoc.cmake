# quill_moc(target): runs moc on each of the target's C++ sources and on the header beside each,
# instead of the build tool's automatic moc step. moc is given no include path and no predefined
# macros: the classes it reads are declared in the file it reads, and its output is the same,
# while with them it read every Qt header that file includes, which took longer than compiling
# what it wrote. A header's moc_<name>.cpp is compiled with the target's sources (it is empty for
# a header without a meta-object class); a source's <name>.moc is there for that source to include.
function(quill_moc target)
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_moc)
  set(compiled)
  set(included)
  foreach(source IN LISTS sources)
    if(NOT source MATCHES "\\.cpp$")
      continue()
    endif()
    if(NOT IS_ABSOLUTE ${source})
      set(source ${source_dir}/${source})
    endif()
    # Generated sources (resources) have no meta-object classes.
    if(NOT EXISTS ${source})
      continue()
    endif()
    get_filename_component(dir ${source} DIRECTORY)
    get_filename_component(base ${source} NAME_WE)
    set(moc_source ${out_dir}/${base}.moc)
    add_custom_command(OUTPUT ${moc_source}
                       COMMAND Qt6::moc --no-notes ${source} -o ${moc_source}
                       DEPENDS ${source} Qt6::moc VERBATIM)
    list(APPEND included ${moc_source})
    if(EXISTS ${dir}/${base}.h)
      set(moc_header ${out_dir}/moc_${base}.cpp)
      add_custom_command(OUTPUT ${moc_header}
                         COMMAND Qt6::moc --no-notes ${dir}/${base}.h -o ${moc_header}
                         DEPENDS ${dir}/${base}.h Qt6::moc VERBATIM)
      list(APPEND compiled ${moc_header})
    endif()
  endforeach()
  set_source_files_properties(${included} PROPERTIES HEADER_FILE_ONLY ON)
  target_sources(${target} PRIVATE ${compiled} ${included})
  target_include_directories(${target} PRIVATE ${out_dir})
endfunction()
