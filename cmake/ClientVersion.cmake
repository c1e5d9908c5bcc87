# The client version is a build option, compiled into one small object per executable
# (app/startup/client_version.cpp): tunra.exe gets TUNRA_CLIENT_VERSION, a test build
# of the same program gets another number, and both link the same libraries.

# tunra_link_client_version(TARGET VERSION): links the object for VERSION into TARGET
# (one object library per version, shared by every executable of that version).
function(tunra_link_client_version target version)
  if(NOT version MATCHES "^[1-9][0-9]*$")
    message(FATAL_ERROR "client version '${version}' is not a positive decimal number")
  endif()
  set(object tunra_client_version_${version})
  if(NOT TARGET ${object})
    add_library(${object} OBJECT ${PROJECT_SOURCE_DIR}/app/startup/client_version.cpp)
    target_compile_definitions(${object} PRIVATE TUNRA_CLIENT_VERSION=${version})
    # Only for the include path of its own header (the app layer's staging folder).
    target_link_libraries(${object} PRIVATE tunra_app)
    tunra_set_warnings(${object})
  endif()
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:${object}>)
endfunction()
