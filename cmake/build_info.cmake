# Writes the build's version and commit into OUT, touching it only when they changed, so a
# new commit recompiles one small file. Run with -DSOURCE_DIR -DOUT -DVERSION.
set(commit "unknown")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse --short=12 HEAD
    OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND head)
    set(commit ${head})
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} diff --quiet HEAD --
      RESULT_VARIABLE dirty ERROR_QUIET)
    if(dirty)
      string(APPEND commit "-dirty")
    endif()
  endif()
endif()
set(text "// Generated at build time.\n#include \"common/build_info.h\"\n\nnamespace veltrano {\nconst char* BuildVersion() { return \"${VERSION}\"; }\nconst char* BuildCommit() { return \"${commit}\"; }\n}  // namespace veltrano\n")
if(EXISTS ${OUT})
  file(READ ${OUT} old)
endif()
if(NOT "${old}" STREQUAL "${text}")
  file(WRITE ${OUT} "${text}")
endif()
