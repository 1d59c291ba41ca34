#include "console/build_info.h"

#define PRIMEBENCH_TEXT(x) #x
#define PRIMEBENCH_TEXT_OF(x) PRIMEBENCH_TEXT(x)

std::string compiler_description()
{
    // Apple's clang and Zig's call themselves clang too, and add their own
    // build to the version; clang also defines __GNUC__, so it comes first.
#if defined(__clang__)
#if defined(__apple_build_version__)
    std::string text = "Apple clang " __clang_version__;
#else
    std::string text = "clang " __clang_version__;
#endif
#elif defined(__GNUC__)
    std::string text = "g++ " __VERSION__;
#elif defined(_MSC_FULL_VER)
    std::string text = "MSVC " PRIMEBENCH_TEXT_OF(_MSC_FULL_VER);
#else
    std::string text = "an unknown compiler";
#endif
    // clang's version ends with a space.
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

const char* target_description()
{
    return PRIMEBENCH_TARGET;
}

const char* build_type()
{
    return sizeof(PRIMEBENCH_BUILD_TYPE) > 1 ? PRIMEBENCH_BUILD_TYPE : "none";
}
