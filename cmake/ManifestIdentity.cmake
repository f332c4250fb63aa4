# Checks and escapes the identity written into the Windows launcher's manifest,
# by the packer's rules: a version of one to four numbers 0-65535 (padded to
# four), and a description escaped for XML.

# Sets `out` to `version` as four numbers, or stops the configure.
function(plenwick_manifest_version version out)
  if(NOT version MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
    message(FATAL_ERROR "PLENWICK_APP_VERSION '${version}' is not a version: one to four "
                        "numbers from 0 to 65535 joined by '.', e.g. 1.2 or 3.2.0.0")
  endif()
  string(REPLACE "." ";" parts "${version}")
  set(numbers "")
  foreach(part IN LISTS parts)
    string(LENGTH "${part}" digits)
    if(digits GREATER 5 OR part GREATER 65535)
      message(FATAL_ERROR "PLENWICK_APP_VERSION '${version}' is not a version: one to four "
                          "numbers from 0 to 65535 joined by '.', e.g. 1.2 or 3.2.0.0")
    endif()
    math(EXPR number "${part}")
    list(APPEND numbers ${number})
  endforeach()
  list(LENGTH numbers count)
  while(count LESS 4)
    list(APPEND numbers 0)
    math(EXPR count "${count} + 1")
  endwhile()
  list(JOIN numbers "." padded)
  set(${out} "${padded}" PARENT_SCOPE)
endfunction()

# Sets `out` to `text` with & < > " ' written as XML entities.
function(plenwick_escape_xml text out)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(REPLACE "\"" "&quot;" text "${text}")
  string(REPLACE "'" "&apos;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Writes the manifest from `template` to `output` with the checked version and
# the escaped name and description.
function(plenwick_write_manifest template output)
  plenwick_manifest_version("${PLENWICK_APP_VERSION}" PLENWICK_APP_VERSION)
  plenwick_escape_xml("${PLENWICK_APP_NAME}" PLENWICK_APP_NAME)
  plenwick_escape_xml("${PLENWICK_APP_DESCRIPTION}" PLENWICK_APP_DESCRIPTION)
  configure_file("${template}" "${output}" @ONLY)
endfunction()
