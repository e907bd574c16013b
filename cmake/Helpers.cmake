# Warnings for our own code only; library headers come in as system includes.
set(CORVANE_WARNINGS -Wall -Wextra)

# corvane_module(<name> <folder> DEPS <targets...>)
# A static library of every .cpp/.h in a source folder.
function(corvane_module name)
    cmake_parse_arguments(M "" "" "DEPS" ${ARGN})
    file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(NOT _src)
        set(_src ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
        file(WRITE ${_src} "// no sources yet\n")
    endif()
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${CORVANE_WARNINGS})
    target_link_libraries(${name} PUBLIC ${M_DEPS})
endfunction()

# corvane_test(<file.cpp> LIBS <targets...>): one Qt Test executable per file,
# run headless, with its own data location so tests never touch the user's files.
function(corvane_test src)
    cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
    get_filename_component(_name ${src} NAME_WE)
    get_filename_component(_dir ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(_target ${_dir}_${_name})
    add_executable(${_target} ${src})
    target_compile_options(${_target} PRIVATE ${CORVANE_WARNINGS})
    target_link_libraries(${_target} PRIVATE ${T_LIBS} testsupport Qt5::Test appresources)
    # A line "// screen sizes: 1920x1080 1280x800" in the source runs the test once per size on
    # a private X server of that size (xcb, no window manager) instead of offscreen.
    file(STRINGS ${src} _sizes_line REGEX "^// screen sizes:")
    # A line "// resource lock: <name>" keeps the test from running beside any other test that
    # names the same resource (fixed ports, for one).
    file(STRINGS ${src} _lock_line REGEX "^// resource lock:")
    set(_locks "")
    if(_lock_line)
        string(REGEX REPLACE "^// resource lock: *" "" _locks "${_lock_line}")
    endif()
    set(_env "XDG_RUNTIME_DIR=@HOME@/run;CORVANE_TEST_SOURCE=${CMAKE_SOURCE_DIR};CORVANE_TEST_ARTIFACTS=${CMAKE_BINARY_DIR}/artifacts;CORVANE_APP=$<TARGET_FILE:corvane-student>")
    if(_sizes_line)
        string(REGEX REPLACE "^// screen sizes:" "" _sizes "${_sizes_line}")
        separate_arguments(_sizes)
        foreach(_size ${_sizes})
            set(_name ${_target}_${_size})
            set(_home ${CMAKE_BINARY_DIR}/testhome/${_name})
            string(REPLACE "@HOME@" "${_home}" _e "${_env}")
            add_test(NAME ${_name} COMMAND ${CMAKE_SOURCE_DIR}/tests/support/on-xvfb.sh ${_size}
                     $<TARGET_FILE:${_target}>)
            set_tests_properties(${_name} PROPERTIES TIMEOUT 300 ENVIRONMENT
                "QT_QPA_PLATFORM=xcb;XDG_DATA_HOME=${_home}/data;HOME=${_home};${_e}")
            if(_locks)
                set_tests_properties(${_name} PROPERTIES RESOURCE_LOCK "${_locks}")
            endif()
        endforeach()
    else()
        set(_home ${CMAKE_BINARY_DIR}/testhome/${_target})
        string(REPLACE "@HOME@" "${_home}" _e "${_env}")
        add_test(NAME ${_target} COMMAND ${_target})
        set_tests_properties(${_target} PROPERTIES TIMEOUT 300 ENVIRONMENT
            "QT_QPA_PLATFORM=offscreen;XDG_DATA_HOME=${_home}/data;HOME=${_home};${_e}")
        if(_locks)
            set_tests_properties(${_target} PROPERTIES RESOURCE_LOCK "${_locks}")
        endif()
    endif()
endfunction()

# Every tst_*.cpp of the calling folder becomes a test.
function(corvane_tests_in_folder)
    cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
    file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    foreach(_t ${_tests})
        corvane_test(${_t} LIBS ${T_LIBS})
    endforeach()
endfunction()
