# The forms of the project's version that Windows wants, from any version
# of one to four numbers, the missing ones 0: the version record's four
# numbers (major,minor,patch,fourth), its text in the old style,
# major.minor.fourth with the minor part in two digits and the fourth in
# four, and a manifest's assembly identity, which must have four parts or
# the program does not start ("side-by-side configuration is incorrect").
#   torva_version_forms(VERSION) sets TORVA_VERSION_PARTS,
#   TORVA_VERSION_TEXT and TORVA_MANIFEST_VERSION in the caller's scope.

function(torva_zero_padded value width out)
  string(REPEAT 0 ${width} zeros)
  string(LENGTH "${zeros}${value}" length)
  math(EXPR from "${length} - ${width}")
  string(SUBSTRING "${zeros}${value}" ${from} ${width} padded)
  set(${out} ${padded} PARENT_SCOPE)
endfunction()

function(torva_version_forms version)
  string(REPLACE "." ";" parts "${version}")
  list(LENGTH parts count)
  if(count LESS 1 OR count GREATER 4 OR NOT version MATCHES "^[0-9]+(\\.[0-9]+)*$")
    message(FATAL_ERROR "version ${version}: one to four numbers are expected")
  endif()
  while(count LESS 4)
    list(APPEND parts 0)
    math(EXPR count "${count} + 1")
  endwhile()
  list(GET parts 0 major)
  list(GET parts 1 minor)
  list(GET parts 3 fourth)
  list(JOIN parts "," comma_parts)
  list(JOIN parts "." dotted)
  torva_zero_padded(${minor} 2 minor)
  torva_zero_padded(${fourth} 4 fourth)
  set(TORVA_VERSION_PARTS "${comma_parts}" PARENT_SCOPE)
  set(TORVA_VERSION_TEXT "${major}.${minor}.${fourth}" PARENT_SCOPE)
  set(TORVA_MANIFEST_VERSION "${dotted}" PARENT_SCOPE)
endfunction()
