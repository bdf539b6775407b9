# Writes help2man's include file of oltc-cli: a section COMMANDS with the
# help of every command that `oltc-cli --help` lists, as the program prints
# it. Run as: cmake -DCLI=path/to/oltc-cli -DOUT=file -P ManCommands.cmake
execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE usage RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLI} --help failed: ${status}")
endif()
string(REGEX REPLACE ".*\ncommands:\n" "" listing "${usage}")
string(REPLACE "\n" ";" lines "${listing}")
set(commands)
foreach(line IN LISTS lines)
    if(line MATCHES "^  ([a-z][a-z-]*) ")
        list(APPEND commands ${CMAKE_MATCH_1})
    endif()
endforeach()
if(NOT commands)
    message(FATAL_ERROR "no commands in ${CLI} --help")
endif()

set(text "[COMMANDS]\n")
foreach(command IN LISTS commands)
    execute_process(COMMAND ${CLI} ${command} --help
        OUTPUT_VARIABLE help RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${CLI} ${command} --help failed: ${status}")
    endif()
    # roff: a backslash is written \e; a line may not begin with . or '.
    string(REPLACE "\\" "\\e" help "${help}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
    string(APPEND text ".SS \"oltc-cli ${command}\"\n.nf\n${help}.fi\n")
endforeach()
file(WRITE ${OUT} "${text}")
