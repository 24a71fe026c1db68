# Every printed digit depends on the last bit of single-precision results, so the numeric code
# is compiled with no contraction into fused multiply-adds and no value-changing optimisation.
# These are correctness flags, not a build preference: the libraries that compute link this
# target PUBLIC, so every consumer and every new folder that uses them gets the flags too.
add_library(kelvor_exact_fp INTERFACE)
add_library(kelvor::exact_fp ALIAS kelvor_exact_fp)
target_compile_options(kelvor_exact_fp INTERFACE -ffp-contract=off -fno-fast-math)
