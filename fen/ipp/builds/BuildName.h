#pragma once
// Included only by the per-build sources, which are compiled once per
// processor build with -DIPP_BUILD_PREFIX=<prefix> and that build's
// instruction-set flags. IPP_BUILD_NAME(f) pastes the prefix: n8_f, y8_f, ...
//
// Everything else in those sources must have internal linkage (anonymous
// namespace): an inline function shared between builds could be merged by
// the linker into the copy of a wider instruction set.
#ifndef IPP_BUILD_PREFIX
#error "compile the build sources with -DIPP_BUILD_PREFIX=<prefix>"
#endif

#define IPP_BUILD_CAT2(prefix, name) prefix##_##name
#define IPP_BUILD_CAT(prefix, name) IPP_BUILD_CAT2(prefix, name)
#define IPP_BUILD_NAME(name) IPP_BUILD_CAT(IPP_BUILD_PREFIX, name)
