# Run by cpack between the staging install and the packing (CPACK_PRE_BUILD_SCRIPTS):
# every staged file and folder gets the release's one timestamp, so that the
# archive's bytes do not depend on when the files were built.
file(GLOB_RECURSE staged LIST_DIRECTORIES true ${CPACK_TEMPORARY_DIRECTORY}/*)
list(SORT staged)
execute_process(COMMAND touch -h -d @${CPACK_KELVOR_EPOCH} ${CPACK_TEMPORARY_DIRECTORY} ${staged}
                COMMAND_ERROR_IS_FATAL ANY)
