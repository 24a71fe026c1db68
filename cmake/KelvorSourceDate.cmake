# The downloads' one timestamp, so that two builds of one commit give the same
# bytes: SOURCE_DATE_EPOCH when the environment sets it, else the time of the
# last commit of the source tree, else that of its VERSION file (a source archive
# has no history). Sets the environment variable too, for the tools that read it.
function(kelvor_source_date_epoch source_dir result)
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  if(epoch STREQUAL "")
    execute_process(COMMAND git -C ${source_dir} log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    file(TIMESTAMP ${source_dir}/VERSION epoch "%s" UTC)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
  set(${result} ${epoch} PARENT_SCOPE)
endfunction()
