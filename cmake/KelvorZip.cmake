# The Windows .zip, run by the target windows_zip in the folder that holds NAME/:
# its files in a fixed order with the release's one timestamp, so that two builds
# of one commit give the same bytes.
include(${CMAKE_CURRENT_LIST_DIR}/KelvorSourceDate.cmake)
kelvor_source_date_epoch(${SOURCE_DIR} epoch)
set(ENV{TZ} UTC)
string(TIMESTAMP mtime "%Y-%m-%d %H:%M:%S UTC" UTC)
file(ARCHIVE_CREATE OUTPUT ${OUTPUT} FORMAT zip MTIME "${mtime}"
     PATHS ${NAME}/LICENSE.txt ${NAME}/README.txt ${NAME}/kelvor.exe)
