# Compiler warnings for every target of the project.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion)
if(WERROR)
  add_compile_options(-Werror)
endif()
