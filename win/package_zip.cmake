# Zips the player package so that one commit always gives the same bytes: the files copied into
# a folder of their own with fixed permissions, SHA256SUMS.txt beside them (the SHA-256 of each,
# as sha256sum writes them, with CRLF line ends for Windows's editors; `sha256sum -c` reads
# them), every entry dated from the commit (its time in UTC, in whole seconds as a zip holds
# them), the entries in the order of their names, and no extra fields (owner, access time).
# Usage: cmake -DZIP=PROGRAM -DOUT=FILE.zip -DSTAGE=FOLDER -DEPOCH_FILE=FILE
#              -DFILES=path;path;... -DPROGRAMS=path;... -P package_zip.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(REMOVE ${OUT})
set(names "")
foreach(kind FILES PROGRAMS)
  foreach(path IN LISTS ${kind})
    get_filename_component(name ${path} NAME)
    file(COPY_FILE ${path} ${STAGE}/${name})
    if(kind STREQUAL "PROGRAMS")
      file(CHMOD ${STAGE}/${name} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
           GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    else()
      file(CHMOD ${STAGE}/${name} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    endif()
    list(APPEND names ${name})
  endforeach()
endforeach()
list(SORT names COMPARE STRING)

set(sums "")
foreach(name IN LISTS names)
  file(SHA256 ${STAGE}/${name} digest)
  string(APPEND sums "${digest}  ${name}\r\n")
endforeach()
file(WRITE ${STAGE}/SHA256SUMS.txt "${sums}")
file(CHMOD ${STAGE}/SHA256SUMS.txt PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
list(APPEND names SHA256SUMS.txt)
list(SORT names COMPARE STRING)

file(STRINGS ${EPOCH_FILE} epoch LIMIT_COUNT 1)
foreach(name IN LISTS names)
  execute_process(COMMAND touch -d @${epoch} ${STAGE}/${name} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
# A zip entry's date is the local time of the machine that made it: UTC here, whatever the
# machine's time zone.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP} -q -X -D ${OUT} ${names}
                WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
