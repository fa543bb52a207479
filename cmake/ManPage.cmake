# Writes a program's manual page from its --help and --version with help2man, gzipped as Debian
# installs them. Run as a script (cmake -P) at build time with
#   PROGRAM   the built program
#   NAME      the one-line description of the NAME section
#   INCLUDE   a help2man include file with the sections written by hand
#   OUTPUT    the page to write, e.g. linkwright-cli.1.gz
#   HELP2MAN  help2man, when not found on the PATH
# A program whose --help lists subcommands gets a COMMANDS section with each command's --help.
# The texts are walked line by line with string(FIND), not as lists, so that no semicolon or bracket
# in a help text can split a line.
foreach(required PROGRAM NAME INCLUDE OUTPUT)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "ManPage.cmake needs -D${required}=...")
    endif()
endforeach()
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)

get_filename_component(program_name ${PROGRAM} NAME)
get_filename_component(program_dir ${PROGRAM} DIRECTORY)
# The program is run by its plain name, which its usage lines then show.
set(ENV{PATH} "${program_dir}:$ENV{PATH}")
get_filename_component(output_dir ${OUTPUT} DIRECTORY)
set(work ${output_dir}/${program_name}.man)
file(MAKE_DIRECTORY ${work})

# A help text as roff: backslashes and hyphens escaped, a leading dot or quote made harmless.
function(as_roff text result)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${result} "${text}" PARENT_SCOPE)
endfunction()

# One command's --help as a subsection: its description, its usage line and each positional argument
# and option as a tagged paragraph, its name in bold.
function(command_section command text result)
    set(section ".SS ${command}\n")
    set(in_options FALSE)
    while(NOT text STREQUAL "")
        string(FIND "${text}" "\n" end)
        if(end EQUAL -1)
            set(line "${text}")
            set(text "")
        else()
            string(SUBSTRING "${text}" 0 ${end} line)
            math(EXPR next "${end} + 1")
            string(SUBSTRING "${text}" ${next} -1 text)
        endif()
        if(line MATCHES "^Usage: ${program_name} ${command}(.*)$")
            as_roff("${program_name} ${command}" usage)
            as_roff("${CMAKE_MATCH_1}" rest)
            string(APPEND section ".PP\n\\fB${usage}\\fR${rest}\n")
        elseif(line STREQUAL "Options:" OR line STREQUAL "Positionals:")
            set(in_options TRUE)
        elseif(in_options AND line MATCHES "^  ([^ ]+)(( [^ ]+)*)(  +([^ ].*))?$")
            as_roff("${CMAKE_MATCH_1}" option)
            as_roff("${CMAKE_MATCH_2}" argument)
            as_roff("${CMAKE_MATCH_5}" description)
            string(APPEND section ".TP\n\\fB${option}\\fR${argument}\n")
            if(NOT description STREQUAL "")
                string(APPEND section "${description}\n")
            endif()
        elseif(NOT line STREQUAL "")
            string(STRIP "${line}" line)
            as_roff("${line}" line)
            string(APPEND section "${line}\n")
        endif()
    endwhile()
    set(${result} "${section}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND ${program_name} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${program_name} --help failed (${status})")
endif()
set(commands_page "")
string(FIND "${help}" "\nSubcommands:\n" at)
if(NOT at EQUAL -1)
    string(SUBSTRING "${help}" ${at} -1 listing)
    string(REGEX MATCHALL "\n  [a-z][a-z0-9-]*  " names "${listing}")
    set(commands_page "[COMMANDS]\n")
    foreach(name ${names})
        string(STRIP "${name}" name)
        execute_process(COMMAND ${program_name} ${name} --help OUTPUT_VARIABLE command_help
                        RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "${program_name} ${name} --help failed (${status})")
        endif()
        command_section(${name} "${command_help}" section)
        string(APPEND commands_page "${section}")
    endforeach()
endif()
set(includes --include=${INCLUDE})
if(commands_page)
    file(WRITE ${work}/commands.h2m "${commands_page}")
    list(APPEND includes --include=${work}/commands.h2m)
endif()

execute_process(
    COMMAND ${HELP2MAN} --no-info --no-discard-stderr --name=${NAME} ${includes}
            --output=${work}/${program_name}.1 ${program_name}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "help2man failed for ${PROGRAM} (${status})")
endif()
execute_process(COMMAND ${GZIP} -9 -n -c ${work}/${program_name}.1 OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed for ${OUTPUT} (${status})")
endif()
