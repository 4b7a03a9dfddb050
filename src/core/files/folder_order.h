// The pictures of a folder in the order people expect, and stepping through them.
#pragma once

#include <string>
#include <vector>

// Natural order as people sort file names: runs of decimal digits compare by
// value ("img2" before "img10"), everything else by code unit with ASCII
// letters case-insensitive. When that finds no difference, the first digit
// run with fewer leading zeros comes first ("a1" before "a01"), so only names
// differing in ASCII case compare equal. <0, 0, >0.
int NaturalCompare(const std::wstring& a, const std::wstring& b);

// On Windows the caller passes a wrapper of the system's own logical order.
using NameCompare = int (*)(const std::wstring& a, const std::wstring& b);

struct FolderEntry {
    std::wstring name;
    bool isDirectory = false;
};

// File-name extensions of pictures: ASCII letters lower-cased, without the
// dot, each once.
using PictureExtensions = std::vector<std::wstring>;

// The extensions the program's own decoders and GDI+ take: jpg jpeg jpe
// jfif png webp bmp dib gif tif tiff ico. The system's codecs may add more.
const PictureExtensions& BuiltInPictureExtensions();

// Adds the extensions of list not yet in extensions. list is as the system's
// codecs name theirs: extensions with or without their dot, separated by
// commas, semicolons or spaces (".jpg,.JPEG"); "*" and empty ones are skipped.
void AddPictureExtensions(const std::wstring& list, PictureExtensions& extensions);

// The patterns of a file dialog's filter for the extensions: "*.jpg;*.png".
std::wstring ExtensionPatterns(const PictureExtensions& extensions);

// Whether name ends in one of the extensions, compared case-insensitively on
// the last extension only ("a.png.txt" is not one). A name that is only an
// extension (".png") counts: the system takes everything after the last dot
// as the extension.
bool HasPictureExtension(const std::wstring& name, const PictureExtensions& extensions = BuiltInPictureExtensions());

// The picture files among the entries (directories and other extensions
// dropped) in order; ties under compare are broken by plain code-unit order
// so the order is total. A null compare means NaturalCompare.
std::vector<std::wstring> OrderPictures(const std::vector<FolderEntry>& entries, NameCompare compare,
                                        const PictureExtensions& extensions = BuiltInPictureExtensions());

// Position of name in the ordered list (an exact match first, else one equal
// up to ASCII case), or -1.
int FindPicture(const std::vector<std::wstring>& ordered, const std::wstring& name);

// The neighbour of name in direction +1 (next) or -1 (previous; any other
// value counts by its sign, 0 as next), wrapping at either end. If name is not
// in the list (deleted or renamed), the neighbour is taken from the place it
// would have had under compare. -1 for an empty list; a list holding only name
// gives name's index.
int NeighbourPicture(const std::vector<std::wstring>& ordered, const std::wstring& name, int direction,
                     NameCompare compare);
