# Header-only dependencies from Debian. Adding /usr/include to the mingw include path would pull
# in glibc's headers, so a build-tree folder links just these libraries and is used with -isystem.
set(TOLVANE_DEPS_INCLUDE ${CMAKE_BINARY_DIR}/deps/include)
file(MAKE_DIRECTORY ${TOLVANE_DEPS_INCLUDE})
foreach(dep boost rapidxml nlohmann)
    if(NOT EXISTS ${TOLVANE_DEPS_INCLUDE}/${dep})
        file(CREATE_LINK /usr/include/${dep} ${TOLVANE_DEPS_INCLUDE}/${dep} SYMBOLIC)
    endif()
endforeach()

add_library(tolvane_deps INTERFACE)
target_include_directories(tolvane_deps SYSTEM INTERFACE ${TOLVANE_DEPS_INCLUDE})

# GoogleTest from Debian's sources, built by the cross compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
