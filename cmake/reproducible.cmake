# Two builds of one commit give the same bytes, whatever folder, time or umask they are made in,
# so that anyone can check that a published artefact comes from this source.

# The one time every artefact carries (see scripts/source-date-epoch.sh).
execute_process(COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/source-date-epoch.sh
                OUTPUT_VARIABLE NORVANE_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
# A new commit moves it: configure again then.
execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse --path-format=absolute --git-path logs/HEAD
                OUTPUT_VARIABLE reflog OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE no_git)
if(NOT no_git AND EXISTS "${reflog}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${reflog})
endif()
unset(reflog)
unset(no_git)

# No build folder in any output (the binary folder may lie inside the source folder: it comes
# last, so it wins).
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>
                    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=.>)
if(WIN32)
  # ld would stamp the link time into the PE header.
  add_link_options(LINKER:--no-insert-timestamp)
endif()
