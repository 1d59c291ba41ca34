#pragma once
// The brand string an x86 processor gives through CPUID, on every system;
// built for x86 targets only (cpuid_x86.cpp), "" everywhere else
// (cpuid_none.cpp).

#include <string>

std::string cpuid_brand();
