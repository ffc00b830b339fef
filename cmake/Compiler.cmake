# Warnings and sanitizers shared by every target of the project.
add_compile_options(-Wall -Wextra)

if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 19)
  # libstdc++ 12 hides <expected> unless __cpp_concepts reports C++20 concepts in full.
  # Clang 16 to 18 implement what std::expected needs but still report the older value.
  add_compile_options(-U__cpp_concepts -D__cpp_concepts=202002L -Wno-builtin-macro-redefined)
endif()

if(ZORVA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
