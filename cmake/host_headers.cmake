# Cross builds take the header-only packages (CLI11, nlohmann-json) from the
# build machine. Their headers and CMake files are copied into a prefix of
# the build tree that the find functions search, so that only they, and not
# the build machine's C headers beside them in /usr/include, reach the cross
# compiler.
if(CMAKE_CROSSCOMPILING)
  set(OXTARN_HOST_PACKAGES ${CMAKE_BINARY_DIR}/host-packages)
  foreach(package CLI:CLI11 nlohmann:nlohmann_json)
    string(REPLACE ":" ";" parts ${package})
    list(GET parts 0 headers)
    list(GET parts 1 config)
    if(EXISTS /usr/include/${headers} AND EXISTS /usr/share/cmake/${config})
      file(COPY /usr/include/${headers} DESTINATION ${OXTARN_HOST_PACKAGES}/include)
      file(COPY /usr/share/cmake/${config} DESTINATION ${OXTARN_HOST_PACKAGES}/share/cmake)
    endif()
  endforeach()
  list(APPEND CMAKE_FIND_ROOT_PATH ${OXTARN_HOST_PACKAGES})
endif()
