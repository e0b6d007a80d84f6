# Which source a build is: the commit it was built from, marked "-modified" when the tree had
# changes not yet committed, or "unknown" outside a git checkout of this project; and that
# commit's time, which dates the files of the player package. Included from the top
# CMakeLists.txt, it writes both once at configure time and defines holdout_build_identity,
# which reads them again at every build. It runs this same file as a script
# (cmake -DSOURCE_DIR=... -DOUT_DIR=... -P build_identity.cmake), and the script rewrites a file
# only when its content changes, so a new commit rebuilds what carries the commit and nothing
# else.
#   OUT_DIR/source_commit.h      #define HOLDOUT_SOURCE_COMMIT "0123456789ab"
#   OUT_DIR/source_date_epoch    the commit's time in seconds since 1970 (SOURCE_DATE_EPOCH,
#                                when set, takes precedence, as the reproducible-builds practice
#                                has it), or 315532800, 1980-01-01, the first date a zip holds
#                                outside a checkout

# Writes `text` to `file` unless the file already holds it, so that its time stays.
function(holdout_write_if_changed file text)
  if(EXISTS ${file})
    file(READ ${file} old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE ${file} "${text}")
endfunction()

# Sets `commit_var` and `epoch_var` from the git checkout at `source_dir`.
function(holdout_read_identity source_dir commit_var epoch_var)
  set(commit unknown)
  set(epoch 315532800)
  find_program(git_program git)
  if(git_program)
    # Only a checkout whose top is this source: a tree unpacked inside another repository
    # carries no commit of its own.
    execute_process(COMMAND ${git_program} -C ${source_dir} rev-parse --show-toplevel
                    OUTPUT_VARIABLE top RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET)
    if(NOT failed)
      file(REAL_PATH ${top} top)
      file(REAL_PATH ${source_dir} source)
    endif()
    if(NOT failed AND top STREQUAL source)
      execute_process(COMMAND ${git_program} -C ${source_dir} log -1 --format=%h%n%ct --abbrev=12
                      OUTPUT_VARIABLE head RESULT_VARIABLE failed ERROR_QUIET)
      # Tracked changes and new files count; what .gitignore names (the build folders) does not.
      # --no-optional-locks: asking leaves the checkout's index as it was.
      execute_process(COMMAND ${git_program} --no-optional-locks -C ${source_dir} status
                              --porcelain
                      OUTPUT_VARIABLE changes RESULT_VARIABLE status_failed ERROR_QUIET)
      if(NOT failed AND NOT status_failed AND head MATCHES "^([0-9a-f]+)\n([0-9]+)")
        set(commit ${CMAKE_MATCH_1})
        set(epoch ${CMAKE_MATCH_2})
        if(NOT changes STREQUAL "")
          string(APPEND commit -modified)
        endif()
      endif()
    endif()
  endif()
  if(DEFINED ENV{SOURCE_DATE_EPOCH} AND "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
    set(epoch $ENV{SOURCE_DATE_EPOCH})
  endif()
  set(${commit_var} ${commit} PARENT_SCOPE)
  set(${epoch_var} ${epoch} PARENT_SCOPE)
endfunction()

function(holdout_write_identity source_dir out_dir)
  holdout_read_identity(${source_dir} commit epoch)
  holdout_write_if_changed(${out_dir}/source_commit.h
    "// Written by cmake/build_identity.cmake: the commit this build is of.\n#define HOLDOUT_SOURCE_COMMIT \"${commit}\"\n")
  holdout_write_if_changed(${out_dir}/source_date_epoch "${epoch}\n")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  holdout_write_identity(${SOURCE_DIR} ${OUT_DIR})
  return()
endif()

set(HOLDOUT_IDENTITY_DIR ${CMAKE_BINARY_DIR}/identity)
set(HOLDOUT_SOURCE_COMMIT_HEADER ${HOLDOUT_IDENTITY_DIR}/source_commit.h)
set(HOLDOUT_SOURCE_DATE_FILE ${HOLDOUT_IDENTITY_DIR}/source_date_epoch)
holdout_write_identity(${CMAKE_SOURCE_DIR} ${HOLDOUT_IDENTITY_DIR})
include_directories(${HOLDOUT_IDENTITY_DIR})
add_custom_target(holdout_build_identity
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUT_DIR=${HOLDOUT_IDENTITY_DIR}
          -P ${CMAKE_CURRENT_LIST_FILE}
  BYPRODUCTS ${HOLDOUT_SOURCE_COMMIT_HEADER} ${HOLDOUT_SOURCE_DATE_FILE}
  COMMENT "The commit this build is of")
