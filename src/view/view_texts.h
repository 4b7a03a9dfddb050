// The words of the document window's texts that the platform-free code
// builds, in the language in use (from the string tables).
#pragma once

#include "core/compare/compare_text.h"

const CompareWords& CompareWordsInUse();
