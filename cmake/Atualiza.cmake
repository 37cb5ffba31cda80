# One static library per source folder, made of every .cpp/.h below it.
function(atualiza_library name)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
         ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    # A folder whose units are still to come builds as an empty library.
    if(NOT sources MATCHES "\\.cpp")
        set_target_properties(${name} PROPERTIES LINKER_LANGUAGE CXX)
    endif()
endfunction()

# One test program per *_test.cpp in the calling folder, linked with the given
# libraries and the shared test main (QApplication on the offscreen platform).
function(atualiza_tests)
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    foreach(test ${tests})
        get_filename_component(name ${test} NAME_WE)
        add_executable(${name} ${test})
        target_link_libraries(${name} PRIVATE ${ARGN} atualiza_test_support)
        gtest_discover_tests(${name}
            DISCOVERY_TIMEOUT 120
            PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ATUALIZA_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
                       TIMEOUT 600)
    endforeach()
endfunction()
