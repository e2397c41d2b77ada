#pragma once
// Whether the processor has AVX2, for the loops that are also built for
// it (four points at a time where every x86-64 does two); asked once.
bool wideKernels();
