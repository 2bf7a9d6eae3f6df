# Every target of the project gets the same warnings; CI turns them into errors.
add_library(kelvo_options INTERFACE)
target_compile_options(kelvo_options INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic -Wshadow -Wconversion
    -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual>)
# GCC 12 reports memcpy overlaps inside std::string at -O2 and above that cannot happen (GCC
# bug 105329).
target_compile_options(kelvo_options INTERFACE $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
# GCC 12 at -O2 and above calls the members of every alternative of a std::variant "maybe used
# uninitialized" when a vector of variants holding strings and vectors grows (the automation
# surface's arrays of variants); clang, the sanitizer builds and GCC at -O0 see nothing.
target_compile_options(kelvo_options INTERFACE $<$<CXX_COMPILER_ID:GNU>:-Wno-maybe-uninitialized>)
if(KELVO_WERROR)
  target_compile_options(kelvo_options INTERFACE $<$<CXX_COMPILER_ID:GNU,Clang>:-Werror>)
endif()
if(KELVO_FUZZ)
  # Coverage for every library the fuzzer reaches; the fuzzer itself links libFuzzer's main.
  target_compile_options(kelvo_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
if(KELVO_SANITIZE)
  target_compile_options(kelvo_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(kelvo_options INTERFACE -fsanitize=address,undefined)
endif()

# The core must never reach Qt: fail the configure step if any core target links it.
function(kelvo_assert_no_qt target)
  get_target_property(_libs ${target} LINK_LIBRARIES)
  if(_libs)
    foreach(_lib IN LISTS _libs)
      if(_lib MATCHES "^Qt[0-9]*::")
        message(FATAL_ERROR "${target} is core code and must not link ${_lib}")
      endif()
    endforeach()
  endif()
endfunction()
