// The languages of the program's texts.
#pragma once

#include <cstdint>

// FromSystem: the user's interface language (Chinese for Chinese, else
// English), as the settings keep it until the user chooses one.
enum class Language : int32_t { FromSystem, Chinese, English };
