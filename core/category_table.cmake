# Writes the core's table of categories from content/categories.txt, the one
# table every tool and the program take them from. A row reads
# "tag letter folder label" ('#' starts a comment); tags count 1, 2, ... in
# order, each letter is one of a-z and names one category only. A malformed
# row stops the configure, naming the file and line.
#
# Input: PICTOLEX_CATEGORIES (the table) and PICTOLEX_CATEGORY_TABLE (the C++
# file to write). Included by core/CMakeLists.txt; also runs as a script
# (cmake -P) for its test.

file(READ "${PICTOLEX_CATEGORIES}" text)
# One list element per line, empty lines kept so that line numbers hold.
string(REPLACE ";" "\\;" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

set(line_number 0)
set(letters)
set(rows "")
foreach(line IN LISTS lines)
  math(EXPR line_number "${line_number} + 1")
  string(REGEX REPLACE "#.*" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "")
    continue()
  endif()
  set(where "${PICTOLEX_CATEGORIES}:${line_number}")
  string(REGEX REPLACE "[ \t\r]+" ";" fields "${line}")
  list(LENGTH fields field_count)
  if(NOT field_count EQUAL 4)
    message(FATAL_ERROR "${where}: a category reads 'tag letter folder label', found \"${line}\"")
  endif()
  list(GET fields 0 tag)
  list(GET fields 1 letter)
  list(GET fields 3 label)
  list(LENGTH letters count)
  math(EXPR expected_tag "${count} + 1")
  if(NOT tag STREQUAL expected_tag)
    message(FATAL_ERROR "${where}: tags count 1, 2, ... in order; expected ${expected_tag}, found ${tag}")
  endif()
  if(NOT letter MATCHES "^[a-z]$")
    message(FATAL_ERROR "${where}: a category's letter is one of a-z, found \"${letter}\"")
  endif()
  list(FIND letters ${letter} earlier)
  if(NOT earlier EQUAL -1)
    message(FATAL_ERROR "${where}: the letter ${letter} belongs to an earlier category")
  endif()
  if(label MATCHES "[\"\\\\]")
    message(FATAL_ERROR "${where}: a label holds no quote or backslash, found ${label}")
  endif()
  list(APPEND letters ${letter})
  string(APPEND rows "    {${tag}, \"${letter}\", \"${label}\"},\n")
endforeach()
list(LENGTH letters count)
if(count EQUAL 0)
  message(FATAL_ERROR "${PICTOLEX_CATEGORIES}: no categories")
endif()

set(table "// Written by CMake from content/categories.txt; change that file instead.
inline constexpr std::array<Category, ${count}> kCategories{{
${rows}}};
")
# Rewritten only when it changes, so that a new configure rebuilds nothing.
set(written "")
if(EXISTS "${PICTOLEX_CATEGORY_TABLE}")
  file(READ "${PICTOLEX_CATEGORY_TABLE}" written)
endif()
if(NOT written STREQUAL table)
  file(WRITE "${PICTOLEX_CATEGORY_TABLE}" "${table}")
endif()
