# The category table's reader on malformed tables: each must stop with the
# file, the line and what is wrong there.
#
#   cmake -DREADER=core/category_table.cmake -DWORK=<scratch folder> -P category_table_cases.cmake
cmake_minimum_required(VERSION 3.25)

function(expect_stop name table expected)
  set(file "${WORK}/${name}.txt")
  file(WRITE "${file}" "${table}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DPICTOLEX_CATEGORIES=${file}
                          -DPICTOLEX_CATEGORY_TABLE=${WORK}/${name}.inc -P ${READER}
                  RESULT_VARIABLE result ERROR_VARIABLE error)
  string(REGEX REPLACE "[ \n]+" " " error "${error}")  # CMake wraps long messages
  string(FIND "${error}" "${file}:${expected}" at)
  if(result EQUAL 0 OR at EQUAL -1)
    message(SEND_ERROR "${name}: expected \"${file}:${expected}\", got (status ${result}) ${error}")
  endif()
endfunction()

expect_stop(fiveFields "1 v vegetal Vegetal Plants\n"
            "1: a category reads 'tag letter folder label', found \"1 v vegetal Vegetal Plants\"")
expect_stop(tagOutOfOrder "# tag letter folder label\n\n1 v vegetal Vegetal\n3 a animal Animal\n"
            "4: tags count 1, 2, ... in order; expected 2, found 3")
expect_stop(capitalLetter "1 V vegetal Vegetal\n" "1: a category's letter is one of a-z, found \"V\"")
expect_stop(letterTwice "1 v vegetal Vegetal\n2 v vine Vine\n" "2: the letter v belongs to an earlier category")
expect_stop(quoteInLabel "1 v vegetal Veg\"etal\n" "1: a label holds no quote or backslash")
expect_stop(noRows "# none yet\n" " no categories")
