// The files of an image that go into an installer, and the entries it cannot
// hold.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

// Every file of `image` but its marker, relative and "/"-separated, sorted. A
// link to a file inside the image (the runtime copy makes such links) is
// listed and goes in as that file. Refused, with the entry named: a link to a
// folder, out of the image or to nothing, and FIFOs, sockets and devices, none
// of which an installer can hold as they are.
bool imageFiles(const std::string& image, std::vector<std::string>* files, std::string* err);

// Whether `path` is a regular file that starts as an ELF file does.
bool isElfFile(const std::string& path);

}  // namespace plenwick
