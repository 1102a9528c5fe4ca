# Warnings and hardening for every target of the tree, and hidden symbols in shared libraries.

add_compile_options(-Wall -Wextra)

# Stack canaries everywhere; checked buffer functions where the optimiser can see the sizes
# (the fortified functions need optimisation, and would only disturb a sanitizer build).
add_compile_options(-fstack-protector-strong
                    "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")

# Position-independent executables, and relocations made read-only once the program has loaded.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported(LANGUAGES C CXX)
add_link_options(LINKER:-z,relro,-z,now)

# A shared library exports only what its headers mark with its export macro (e.g.
# biz/BizExport.h); everything else stays inside it.
set(CMAKE_C_VISIBILITY_PRESET hidden)
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
