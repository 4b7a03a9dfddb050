// The menu bars and the keys, built at run time: the bar of a language from
// its resource with each command's key text appended from the key table, and
// the accelerators from the same table.
#pragma once

#include <windows.h>

#include "core/keys/keys.h"
#include "win32/texts.h"

// The menu bar in language, each item with a key showing it after a tab.
// Null when the resource is missing or the system refuses.
HMENU BuildMenuBar(Language language);

// Every key of the key table (the wheel aside) as an accelerator table.
HACCEL BuildAccelerators();

// The words of key names in the language in use.
KeyWords CurrentKeyWords();
