# A native program built with clang++ from its own sources plus the digest engine and OpenSSL's crypto
# library, for figures and fuzzing that need the other compiler (the configuration's compiler is g++).
#   quorvex_clang_engine_program(NAME name SOURCES file... FLAGS flag... COMMENT text)
# Creates the custom target NAME whose program is ${CMAKE_CURRENT_BINARY_DIR}/NAME.
function(quorvex_clang_engine_program)
  cmake_parse_arguments(PARSE_ARGV 0 arg "ALL" "NAME;COMMENT" "SOURCES;FLAGS")
  find_program(QUORVEX_CLANGXX NAMES clang++ clang++-14 REQUIRED)
  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
  set(sources ${arg_SOURCES} ${PROJECT_SOURCE_DIR}/digest/Md5Digest.cpp)
  set(program ${CMAKE_CURRENT_BINARY_DIR}/${arg_NAME})
  add_custom_command(
    OUTPUT ${program}
    COMMAND ${QUORVEX_CLANGXX} -std=c++17 -Wall -Wextra -Werror ${arg_FLAGS} -I${PROJECT_SOURCE_DIR}
            -I${OPENSSL_INCLUDE_DIR} ${sources} ${OPENSSL_CRYPTO_LIBRARY} -o ${program}
    DEPENDS ${sources} ${PROJECT_SOURCE_DIR}/digest/Md5Digest.h ${PROJECT_SOURCE_DIR}/digest/ProgressReceiver.h
            ${PROJECT_SOURCE_DIR}/platform/String.h ${PROJECT_SOURCE_DIR}/platform/RuntimeIo.h
    COMMENT "${arg_COMMENT}"
    VERBATIM)
  if(arg_ALL)
    add_custom_target(${arg_NAME} ALL DEPENDS ${program})
  else()
    add_custom_target(${arg_NAME} DEPENDS ${program})
  endif()
endfunction()
