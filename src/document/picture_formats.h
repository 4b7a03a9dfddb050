// The file-name extensions some decoder of the program claims: its own and
// GDI+'s (core/files/folder_order.h) and those of the WIC codecs installed
// on this machine, asked for once. The Open dialog's filter and the folder
// stepping read this one list.
#pragma once

#include "core/files/folder_order.h"

// Starts asking the WIC codecs for their extensions on a thread of its own,
// so that the first list of a folder need not wait for it.
void StartListingPictureExtensions();

// The list; the first call waits for the codecs' answer (starting the
// question if nobody has). Any thread.
const PictureExtensions& KnownPictureExtensions();
