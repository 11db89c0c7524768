# Sanitizer builds. ASAN also turns on UBSan; TSAN stands alone because
# ThreadSanitizer cannot be combined with AddressSanitizer.
if(ASAN AND TSAN)
  message(FATAL_ERROR "ASAN and TSAN cannot be combined; choose one")
endif()

if(ASAN)
  set(_marlo_sanitize -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(TSAN)
  set(_marlo_sanitize -fsanitize=thread -fno-omit-frame-pointer)
endif()

if(_marlo_sanitize)
  add_compile_options(${_marlo_sanitize})
  add_link_options(${_marlo_sanitize})
endif()
