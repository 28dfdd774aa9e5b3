# Settings every Tremlow target shares: the language level, warnings and sanitizers.
add_library(tremlow_options INTERFACE)
target_compile_features(tremlow_options INTERFACE cxx_std_20)
target_compile_options(tremlow_options INTERFACE
  -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wshadow -Wold-style-cast)

set(TREMLOW_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined")
if(TREMLOW_SANITIZE)
  target_compile_options(tremlow_options INTERFACE
    -fsanitize=${TREMLOW_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(tremlow_options INTERFACE -fsanitize=${TREMLOW_SANITIZE})
endif()

set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()
