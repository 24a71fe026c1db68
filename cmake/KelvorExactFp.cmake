# Every printed digit depends on the last bit of single-precision results, so the numeric code
# is compiled with no contraction into fused multiply-adds and no value-changing optimisation.
# These are correctness flags, not a build preference: the libraries that compute link this
# target PUBLIC, so every consumer and every new folder that uses them gets the flags too.
add_library(kelvor_exact_fp INTERFACE)
add_library(kelvor::exact_fp ALIAS kelvor_exact_fp)
# The compiler is the consumer's, so the choice is made where the flags are used: MSVC's
# /fp:precise neither contracts nor changes values; the GNU-style compilers say both outright.
set(kelvor_gnu_style $<NOT:$<CXX_COMPILER_ID:MSVC>>)
target_compile_options(kelvor_exact_fp INTERFACE $<$<CXX_COMPILER_ID:MSVC>:/fp:precise>
                       $<${kelvor_gnu_style}:-ffp-contract=off> $<${kelvor_gnu_style}:-fno-fast-math>)
