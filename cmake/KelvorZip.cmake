# The Windows .zip, run by the target windows_zip in the folder that holds NAME/:
# its files in a fixed order with the release's one timestamp, so that two builds
# of one commit give the same bytes.
include(${CMAKE_CURRENT_LIST_DIR}/KelvorSourceDate.cmake)
kelvor_source_date_epoch(${SOURCE_DIR} epoch)
file(REMOVE ${OUTPUT})
execute_process(COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/deterministic_archive.py zip ${OUTPUT}
                        ${NAME}/LICENSE.txt ${NAME}/README.txt ${NAME}/kelvor.exe
                COMMAND_ERROR_IS_FATAL ANY)
